#include "db/statement_columns.h"

#include "platform/text.h"

#include <algorithm>
#include <vector>

namespace galerion {
namespace {

enum class TTokenKind { Word, Literal, Symbol };

struct TToken {
    TTokenKind kind;
    size_t begin;
    size_t end;  // one past the token
};

bool IsWordChar(char c) {
    return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9') || c == '_' ||
           static_cast<unsigned char>(c) >= 0x80;
}

std::vector<TToken> Tokens(std::string_view sql) {
    std::vector<TToken> tokens;
    size_t i = 0;
    while (i < sql.size()) {
        const char c = sql[i];
        const size_t begin = i;
        if (c == ' ' || c == '\t' || c == '\r' || c == '\n') {
            ++i;
        } else if (c == '\'') {
            // A doubled quote stays inside the literal.
            for (++i; i < sql.size(); ++i) {
                if (sql[i] != '\'') continue;
                if (i + 1 < sql.size() && sql[i + 1] == '\'')
                    ++i;
                else
                    break;
            }
            i = std::min(i + 1, sql.size());
            tokens.push_back({TTokenKind::Literal, begin, i});
        } else if (IsWordChar(c)) {
            while (i < sql.size() && IsWordChar(sql[i])) ++i;
            tokens.push_back({TTokenKind::Word, begin, i});
        } else {
            tokens.push_back({TTokenKind::Symbol, begin, ++i});
        }
    }
    return tokens;
}

class TStatementReader {
public:
    explicit TStatementReader(std::string_view sql) : sql_(sql), tokens_(Tokens(sql)) {}

    std::string ColumnAt(size_t offset) const {
        const size_t literal = LiteralAt(offset);
        if (literal == kNone) return {};
        const std::string column =
            IsWord(0, "insert") ? InsertColumn(literal) : AssignedColumn(literal);
        if (column.empty()) return {};
        const std::string table = Table();
        return table.empty() ? column : table + "." + column;
    }

private:
    static constexpr size_t kNone = static_cast<size_t>(-1);

    std::string Text(size_t i) const {
        return std::string(sql_.substr(tokens_[i].begin, tokens_[i].end - tokens_[i].begin));
    }
    bool IsWord(size_t i, std::string_view lower) const {
        return i < tokens_.size() && tokens_[i].kind == TTokenKind::Word &&
               AsciiLower(Text(i)) == lower;
    }
    bool IsSymbol(size_t i, char c) const {
        return i < tokens_.size() && tokens_[i].kind == TTokenKind::Symbol &&
               sql_[tokens_[i].begin] == c;
    }
    size_t Find(size_t from, std::string_view lowerWord) const {
        for (size_t i = from; i < tokens_.size(); ++i)
            if (IsWord(i, lowerWord)) return i;
        return kNone;
    }

    size_t LiteralAt(size_t offset) const {
        for (size_t i = 0; i < tokens_.size(); ++i)
            if (tokens_[i].kind == TTokenKind::Literal && tokens_[i].begin < offset &&
                offset < tokens_[i].end)
                return i;
        return kNone;
    }

    std::string Table() const {
        size_t at = kNone;
        if (IsWord(0, "insert") && IsWord(1, "into"))
            at = 2;
        else if (IsWord(0, "update"))
            at = 1;
        else if (const size_t from = Find(0, "from"); from != kNone)
            at = from + 1;
        if (at == kNone || at >= tokens_.size() || tokens_[at].kind != TTokenKind::Word) return {};
        return Text(at);
    }

    // INSERT INTO t (c1, c2, ...) VALUES (v1, v2, ...): the column at the literal's position.
    std::string InsertColumn(size_t literal) const {
        std::vector<std::string> columns;
        size_t i = 0;
        while (i < tokens_.size() && !IsSymbol(i, '(')) ++i;
        for (++i; i < tokens_.size() && !IsSymbol(i, ')'); ++i)
            if (tokens_[i].kind == TTokenKind::Word) columns.push_back(Text(i));
        const size_t values = Find(i, "values");
        if (values == kNone || !IsSymbol(values + 1, '(')) return {};
        size_t index = 0;
        int depth = 0;
        for (size_t k = values + 2; k < literal; ++k) {
            if (IsSymbol(k, '(')) ++depth;
            if (IsSymbol(k, ')')) --depth;
            if (depth == 0 && IsSymbol(k, ',')) ++index;
        }
        return index < columns.size() ? columns[index] : std::string();
    }

    // "column = 'value'" in SET or WHERE.
    std::string AssignedColumn(size_t literal) const {
        if (literal < 2 || !IsSymbol(literal - 1, '=')) return {};
        if (tokens_[literal - 2].kind != TTokenKind::Word) return {};
        return Text(literal - 2);
    }

    std::string_view sql_;
    std::vector<TToken> tokens_;
};

}  // namespace

std::string ColumnAt(std::string_view sql, size_t offset) {
    return TStatementReader(sql).ColumnAt(offset);
}

}  // namespace galerion
