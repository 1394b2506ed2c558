// The numbered texts of the program's string table (the long report texts).
//
// Windows reads them from the string-table resource linked into Torvik.exe; the native
// build links the same table compiled in. Both come from src/resources/texts/.
#pragma once

#include <string>

// The text of `id` in GBK; "" when the table has no such id.
std::string LoadStr(int id);
