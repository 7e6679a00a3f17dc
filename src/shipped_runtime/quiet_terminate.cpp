// The shipped programs' default terminate handler: a plain abort.
//
// The C++ runtime's own default handler prints the escaping exception's type,
// and its name demangler alone is some 45 KB of code. It runs only when an
// exception leaves a noexcept function or the entry point. Every shipped
// program does its work inside RunGuarded (src/program_guard/guarded_run.h),
// which is noexcept and catches everything, so no exception gets that far;
// should one all the same, a GUI program has nowhere to print it, and the
// runtime's handler would end in abort() as this one does.
//
// The runtime names its default handler __gnu_cxx::__verbose_terminate_handler
// (std::set_terminate(nullptr) goes back to it as well); defined here, in an
// object linked into the program, the archive's member is never pulled in.
#include <cstdlib>
#include <cxxabi.h>

namespace __gnu_cxx {

void __verbose_terminate_handler()
{
    std::abort();
}

}  // namespace __gnu_cxx
