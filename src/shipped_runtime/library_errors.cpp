// The standard library's error throws, lean: the ones that carry a message
// throw one small exception type instead of std::length_error and its kin.
//
// The library raises them from a failed precondition (a string longer than
// max_size(), a position past the end, a null pointer made into a string),
// which correct code never reaches. The runtime's own versions build a
// std::logic_error, whose copy-on-write message string and formatting pull in
// some 36 KB (x64) to 54 KB (x86) of code. A program linked with this must
// catch none of these types by name (std::out_of_range, std::invalid_argument
// from std::stoi, ...): the programs catch by name nowhere; their guarded
// steps and RunGuarded catch everything (the registry object lets even
// std::bad_alloc, which stays the real type, leave the operation to them).
// So a failed precondition still ends as an exception that the same handlers
// take, with the library's message as what() (for a message with arguments,
// its format).
//
// Defined here, in an object linked into the program, these replace the
// runtime archive's member that holds them all; a program that needed one
// not defined here would fail to link (two definitions), never quietly mix.
#include <bits/functexcept.h>
#include <exception>
#include <new>
#include <typeinfo>

namespace {

class LibraryError final : public std::exception {
public:
    explicit LibraryError(const char* message) noexcept : Message(message) {}
    const char* what() const noexcept override { return Message; }

private:
    const char* Message;  // the library's messages are literals
};

}  // namespace

namespace std {

void __throw_bad_exception() { throw bad_exception(); }
void __throw_bad_alloc() { throw bad_alloc(); }
void __throw_bad_array_new_length() { throw bad_array_new_length(); }
void __throw_bad_cast() { throw bad_cast(); }
void __throw_bad_typeid() { throw bad_typeid(); }

void __throw_logic_error(const char* message) { throw LibraryError(message); }
void __throw_domain_error(const char* message) { throw LibraryError(message); }
void __throw_invalid_argument(const char* message) { throw LibraryError(message); }
void __throw_length_error(const char* message) { throw LibraryError(message); }
void __throw_out_of_range(const char* message) { throw LibraryError(message); }
// The format's arguments are left out: formatting is what costs the most.
void __throw_out_of_range_fmt(const char* format, ...) { throw LibraryError(format); }
void __throw_runtime_error(const char* message) { throw LibraryError(message); }
void __throw_range_error(const char* message) { throw LibraryError(message); }
void __throw_overflow_error(const char* message) { throw LibraryError(message); }
void __throw_underflow_error(const char* message) { throw LibraryError(message); }

}  // namespace std
