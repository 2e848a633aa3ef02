#pragma once
#include <string>

#include "files/file_read.h"

namespace quillot::audio {

// Why the open file cannot be loaded as a module of this program, in a few
// words to follow its name ("is not a module of this machine"); empty when
// its headers are this program's kind of shared object and every loadable
// segment lies inside the file. The loader maps segments without looking at
// the file's length, and a page mapped past the end kills the program with
// SIGBUS when it is touched, long after dlopen has returned. Reads the ELF
// header and the program header table, nothing more.
std::string module_fault(const RegularFile& file);

}  // namespace quillot::audio
