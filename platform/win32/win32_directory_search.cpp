#include "platform/win32/win32_directory_search.h"

#include <windows.h>

namespace plenwick {

void Win32DirectorySearch::search(const std::string& pattern, const Visitor& visit) {
  WIN32_FIND_DATAA record;
  HANDLE handle = FindFirstFileA(pattern.c_str(), &record);
  if (handle == INVALID_HANDLE_VALUE) return;  // no match and no search look alike
  do {
    visit(record.cFileName, (record.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) != 0);
  } while (FindNextFileA(handle, &record));
  FindClose(handle);
}

}  // namespace plenwick
