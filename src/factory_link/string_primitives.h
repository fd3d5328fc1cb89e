// The four bounded primitives behind kStringFunctions. Only the table's definition refers
// to them by name: every other caller goes through the table, so that the module has one
// place where these functions are bound.
#pragma once

#include <cstdarg>

namespace factory_link {

// 0, or 22 for a refused argument (34 when the size is exactly 0), or 34 when the source
// does not fit; the destination is untouched unless 0 is returned.
int SafeCopy(char* destination, int size, const char* source);
// 0, or 22 for a refused argument or a count that does not fit; in the last case the
// destination is emptied.
int SafeCopyN(char* destination, int size, const char* source, int count);
// As SafeCopy, for appending to the text already in the destination.
int SafeAppend(char* destination, int size, const char* source);
// The length written, or -1 when cut or refused (see StringFunctionTable).
int SafeFormatV(char* destination, int size, int count, const char* format, va_list args);

}  // namespace factory_link
