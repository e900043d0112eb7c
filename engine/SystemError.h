// How the engine's file code reports a failed system call: a std::system_error carrying
// the errno value, so that the run's failure guard catches it and orven-cli can tell a
// missing file from other reasons and name the reason.
#pragma once

#include <string>
#include <system_error>

namespace orven {

[[noreturn]] inline void ThrowErrno(int error, const std::string& what) {
  throw std::system_error(error, std::generic_category(), what);
}

}  // namespace orven
