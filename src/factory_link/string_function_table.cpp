#include "factory_link/bounded_string.h"
#include "factory_link/string_primitives.h"

namespace factory_link {

// Constant-initialised: usable from the first static initialiser of the module on.
const StringFunctionTable kStringFunctions = {&SafeFormatV, &SafeAppend, &SafeCopyN, &SafeCopy};

}  // namespace factory_link
