// Walks a loaded PE32+ image's import directory by the module's own headers: the lookup table
// keeps each imported name, the address table beside it the address the loader bound. The image
// is one the process loaded itself, so its headers are trusted.
#include "import_patch.h"

#include <cstring>

namespace {

template <typename T>
T* At(BYTE* base, DWORD offset) {
  return reinterpret_cast<T*>(base + offset);
}

bool Overwrite(ULONGLONG& slot, const void* replacement) {
  DWORD previous = 0;
  if (!VirtualProtect(&slot, sizeof slot, PAGE_READWRITE, &previous)) {
    return false;
  }
  slot = reinterpret_cast<ULONGLONG>(replacement);
  DWORD ignored = 0;
  VirtualProtect(&slot, sizeof slot, previous, &ignored);
  return true;
}

// Calls visit(name, slot) for every import by name from `library`.
template <typename Visit>
void ForEachImport(HMODULE module, const char* library, Visit visit) {
  BYTE* base = reinterpret_cast<BYTE*>(module);
  const auto* dos = reinterpret_cast<const IMAGE_DOS_HEADER*>(base);
  if (dos->e_magic != IMAGE_DOS_SIGNATURE) {
    return;
  }
  const auto* nt = At<IMAGE_NT_HEADERS64>(base, static_cast<DWORD>(dos->e_lfanew));
  if (nt->Signature != IMAGE_NT_SIGNATURE ||
      nt->OptionalHeader.Magic != IMAGE_NT_OPTIONAL_HDR64_MAGIC) {
    return;
  }
  const IMAGE_DATA_DIRECTORY& imports =
      nt->OptionalHeader.DataDirectory[IMAGE_DIRECTORY_ENTRY_IMPORT];
  if (imports.VirtualAddress == 0 || imports.Size == 0) {
    return;
  }
  for (auto* entry = At<IMAGE_IMPORT_DESCRIPTOR>(base, imports.VirtualAddress); entry->Name != 0;
       ++entry) {
    if (_stricmp(At<char>(base, entry->Name), library) != 0 || entry->OriginalFirstThunk == 0) {
      continue;
    }
    auto* names = At<IMAGE_THUNK_DATA64>(base, entry->OriginalFirstThunk);
    auto* addresses = At<IMAGE_THUNK_DATA64>(base, entry->FirstThunk);
    for (std::size_t i = 0; names[i].u1.AddressOfData != 0; ++i) {
      if (IMAGE_SNAP_BY_ORDINAL64(names[i].u1.Ordinal)) {
        continue;
      }
      const auto* byName =
          At<IMAGE_IMPORT_BY_NAME>(base, static_cast<DWORD>(names[i].u1.AddressOfData));
      visit(reinterpret_cast<const char*>(byName->Name), addresses[i].u1.Function);
    }
  }
}

}  // namespace

int PatchImport(HMODULE module, const char* library, const char* function,
                const void* replacement) {
  int patched = 0;
  ForEachImport(module, library, [&](const char* name, ULONGLONG& slot) {
    if (std::strcmp(name, function) == 0 && Overwrite(slot, replacement)) {
      ++patched;
    }
  });
  return patched;
}

std::vector<std::string> UnboundImports(HMODULE module, const char* library, HMODULE exporter) {
  std::vector<std::string> unbound;
  ForEachImport(module, library, [&](const char* name, ULONGLONG& slot) {
    const FARPROC exported = GetProcAddress(exporter, name);
    if (exported == nullptr || slot != reinterpret_cast<ULONGLONG>(exported)) {
      unbound.emplace_back(name);
    }
  });
  return unbound;
}
