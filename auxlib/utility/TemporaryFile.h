#ifndef AUXLIB_UTILITY_TEMPORARYFILE_H
#define AUXLIB_UTILITY_TEMPORARYFILE_H

#include <cstdio>
#include <string>

namespace auxlib::utility {

// Temporary files beside an output file. Each is named after the final file
// with a marker before the extension, ".~pw<process id>-<16 random hex
// digits>", so the name cannot be guessed ahead of the run and a file a killed
// run left behind says which process made it and what kind of picture it
// holds ("World_00.~pw4711-0f3a....png").

// A fresh temporary name for finalName; another call gives another name.
std::string temporaryNameFor(const std::string& finalName);

// Creates path for writing only if nothing of that name exists, a symbolic
// link included, so a name planted by someone else is never followed or
// written through: O_CREAT | O_EXCL | O_NOFOLLOW (CREATE_NEW on Windows),
// permissions 0644 less the umask. Null when the file could not be made, with
// errno set; the caller closes the stream.
std::FILE* createExclusive(const std::string& path);

// Whether a file name is a temporary file of this naming (or of the older
// ".~pw<process id>-<counter>"), ending in an extension the writers give
// (png, bmp, jpg), and which process made it. Names of any other shape are
// never taken for one.
bool parseTemporaryName(const std::string& fileName, unsigned long* processId);

// Removes from the folder (native form) the temporary files of this naming
// that a run which is no longer alive left behind: made by another process
// that has ended, and last written before this process started. Files of any
// other name are never touched, nor are those of a conversion running in
// another process. Returns how many were removed; failures are silent.
int sweepStaleTemporaries(const std::string& folder);

} // namespace auxlib::utility

#endif
