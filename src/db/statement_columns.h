#pragma once
// Which column a value in a statement text belongs to, for errors that must name it.
#include <cstddef>
#include <string>
#include <string_view>

namespace galerion {

// The column whose quoted value holds the byte at `offset`, as "table.column" (the table left
// out when the statement names none). Understands the program's forms: INSERT INTO t (columns)
// VALUES (values), and "column = value" in SET and WHERE. Empty when the byte is not inside a
// quoted value or the column cannot be told.
std::string ColumnAt(std::string_view sql, size_t offset);

}  // namespace galerion
