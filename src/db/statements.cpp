#include "db/statements.h"

#include "platform/errors.h"

namespace galerion {
namespace {

[[noreturn]] void SlotMismatch(std::string_view statement, const std::string& what) {
    throw DataAccessError("Statement values do not fit its slots (" + what +
                          "): " + std::string(statement));
}

}  // namespace

std::string FormatSql(std::string_view statement, std::initializer_list<TSqlArg> args) {
    std::string out;
    out.reserve(statement.size() + 64);
    auto next = args.begin();
    for (size_t i = 0; i < statement.size(); ++i) {
        const char c = statement[i];
        const char kind = i + 1 < statement.size() ? statement[i + 1] : '\0';
        if (c != '%' || (kind != 'd' && kind != 's')) {
            out += c;
            continue;
        }
        if (next == args.end()) SlotMismatch(statement, "too few values");
        if (kind == 'd') {
            if (!next->IsInteger()) SlotMismatch(statement, "text for %d");
            out += std::to_string(next->Integer());
        } else {
            if (next->IsInteger()) SlotMismatch(statement, "integer for %s");
            out += next->Fragment();
        }
        ++next;
        ++i;
    }
    if (next != args.end()) SlotMismatch(statement, "too many values");
    return out;
}

TSqlText SqlQuote(const std::string& text) {
    if (text.empty()) return TSqlText("NULL");
    std::string out;
    out.reserve(text.size() + 2);
    out += '\'';
    for (const char c : text) {
        if (c == '\'') out += '\'';
        out += c;
    }
    out += '\'';
    return TSqlText(std::move(out));
}

TSqlText SqlDateTime(TDateTime value) { return SqlQuote(DateTimeToIsoText(value)); }

TSqlText SqlBool(bool value) { return TSqlText(value ? "-1" : "0"); }

TSqlText SqlDigits(const std::string& text) {
    // A leading minus: a hand-made row may hold a negative identifier, which must still count.
    const size_t first = !text.empty() && text[0] == '-' ? 1 : 0;
    const bool digits =
        text.size() > first && text.find_first_not_of("0123456789", first) == std::string::npos;
    if (!digits) throw DataAccessError("'" + text + "' is not a category identifier");
    return TSqlText(text);
}

}  // namespace galerion
