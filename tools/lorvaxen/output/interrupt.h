// SIGINT, SIGTERM and SIGHUP: the tool stops at once, but never leaves a temporary file behind, nor
// a file written without the line that reports it.
#pragma once

#include <string>

namespace lorvaxen::tool {

// Installs the handlers; the tool then ends with 130 after SIGINT, 143 after SIGTERM and 129
// after SIGHUP. One the tool was started ignoring stays ignored.
void installInterruptHandlers();

// While a temporary file exists, an interruption removes it before the tool ends. Register it
// with interruptions held from before the file is made.
void registerTemporary(const std::string& path);
void forgetTemporary();

// Holds an interruption back from a file's rename until its report is out; the held one, if
// any, ends the tool at release.
void holdInterruptions();
void releaseInterruptions();

} // namespace lorvaxen::tool
