// Readable signatures for the decorated names the Microsoft C++ compiler gives free functions:
// "?worldGetAllPeds@@YAHPEAHH@Z" reads "int __cdecl worldGetAllPeds(int *, int)". Tools use it to
// name a function a library lacks as a programmer would write it. It knows the vocabulary of
// C-style free functions (built-in types, pointers and references, function pointers, structs,
// classes, unions and enums, namespaces, back-references) and leaves anything else alone.
#pragma once

#include <optional>
#include <string>
#include <string_view>

// The signature a decorated free-function name stands for; nothing when the name is not one
// (or uses decorations outside the vocabulary above).
std::optional<std::string> DemangleMsvcFunction(std::string_view decorated);

// The signature when the name can be read as one, otherwise the name as it is.
std::string ReadableFunctionName(std::string_view name);
