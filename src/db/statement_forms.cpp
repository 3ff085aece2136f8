#include "db/statement_forms.h"

#include "platform/text.h"

#include <cctype>
#include <string_view>

namespace galerion {

std::string WithoutDeleteStar(const std::string& sql) {
    auto skipSpace = [&](size_t i) {
        while (i < sql.size() && std::isspace(static_cast<unsigned char>(sql[i]))) ++i;
        return i;
    };
    auto wordAt = [&](size_t i, std::string_view word) {
        return sql.size() - i >= word.size() && AsciiLower(sql.substr(i, word.size())) == word;
    };
    const size_t del = skipSpace(0);
    if (!wordAt(del, "delete")) return sql;
    const size_t star = skipSpace(del + 6);
    if (star >= sql.size() || sql[star] != '*') return sql;
    const size_t from = skipSpace(star + 1);
    if (!wordAt(from, "from")) return sql;
    return sql.substr(0, del + 6) + " " + sql.substr(from);
}

}  // namespace galerion
