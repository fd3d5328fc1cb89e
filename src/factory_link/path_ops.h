// Text and path operations over bounded buffers. Each destination is a buffer of its own,
// never one of the inputs. The path rules default to those of the platform the module runs
// on; tests pass either set explicitly.
#pragma once

#include "platform/platform.h"

namespace factory_link {

// Blanks are the space and the horizontal tab. 1 for null, empty or blanks only.
int IsBlank(const char* text);
// The source without leading and trailing blanks; empty when the span does not fit.
void TrimBlanks(const char* source, char* destination, int size);
// 0 when the path is absolute under the rules, else 1 (null and empty count as relative).
int IsRelativePath(const char* path, const platform::PathRules& rules = platform::NativePathRules());
// The last primary separator; when there is none, the last secondary one; else null.
const char* LastSeparator(const char* path, const platform::PathRules& rules = platform::NativePathRules());
// The host executable's directory without a trailing separator (cut to 259 characters),
// cached on first use; empty, and asked for again next time, when the platform gives none.
const char* HostDirectory();
// The host directory, a separator and the name, at most size - 2 characters. 0 and nothing
// written when name or destination is null or size < 2; else 1.
int HostRelativePath(const char* name, char* destination, int size);
// The directory, a separator and the name; the name alone when the directory is blank.
// Each piece that does not fit is left out, and nothing follows a directory left out.
void JoinDirectory(const char* directory, const char* name, char* destination, int size,
                   const platform::PathRules& rules = platform::NativePathRules());
// The directory part of filePath, its separator included, followed by name; a path without
// a separator is taken as a directory. A piece that does not fit is left out, and the name
// is never written without its directory. 0 and the destination untouched when an argument
// is null or size <= 0; else 1, also when a piece was left out.
int ResolveAgainstFileDir(const char* filePath, const char* name, char* destination, int size,
                          const platform::PathRules& rules = platform::NativePathRules());

}  // namespace factory_link
