#pragma once
// The drives of the native build, shared by its file functions: a drive letter that a test has
// set up stands for a POSIX folder.
#include <string>

namespace platform::native {

// "C:\Games" on a drive that stands for /tmp/x: "/tmp/x\Games" (the caller turns the rest into
// POSIX form). Paths on other drives, and paths without a drive, come back unchanged.
std::string ResolveDrive(const std::string& path);
// The POSIX path of a Windows path: the drive resolved, backslashes as slashes (a trail byte
// 0x5C of a Shift-JIS character stays as it is).
std::string PosixPath(const std::string& path);
// The Windows form of an absolute POSIX path inside a drive's folder ("C:\Games"), or "" when
// it lies in none.
std::string DrivePathOf(const std::string& posixPath);

}  // namespace platform::native
