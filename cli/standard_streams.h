// SPDX-License-Identifier: GPL-3.0-or-later
// kerv-cli's "-": a picture read from standard input, a picture written to standard output.
#ifndef KERV_CLI_STANDARD_STREAMS_H
#define KERV_CLI_STANDARD_STREAMS_H

#include <string>

// Standard input copied into a temporary file, so that the picture readers (which look at a
// file's header before decoding it) and the metadata reader see it as any other file. The file
// is removed when the object goes.
struct StandardInputCopy {
    StandardInputCopy();
    ~StandardInputCopy();
    StandardInputCopy(const StandardInputCopy&) = delete;
    StandardInputCopy& operator=(const StandardInputCopy&) = delete;

    std::string path;   // empty on failure
    std::string error;  // why the copy failed, else empty
};

// Writes all of bytes to standard output; false (errno set) when that fails.
bool WriteStandardOutput(const std::string& bytes);

#endif
