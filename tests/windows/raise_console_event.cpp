// Raises a console event in a running program the way the console does: a
// thread of the program's own started at the system's console routine, which
// calls the program's handlers in turn. Closing a console window, logging off
// and shutting down cannot be done to a test's console under Wine.
// Usage: raise_console_event <program file name> close|c
#include <windows.h>

#include <tlhelp32.h>

#include <cstdint>
#include <cstdio>
#include <cwchar>
#include <string>

namespace {

// The one running process of that file name, or 0.
DWORD findProcess(const std::wstring& name) {
    HANDLE snapshot = CreateToolhelp32Snapshot(TH32CS_SNAPPROCESS, 0);
    if (snapshot == INVALID_HANDLE_VALUE) return 0;
    PROCESSENTRY32W entry{};
    entry.dwSize = sizeof entry;
    DWORD found = 0;
    int count = 0;
    for (BOOL more = Process32FirstW(snapshot, &entry); more;
         more = Process32NextW(snapshot, &entry)) {
        if (_wcsicmp(entry.szExeFile, name.c_str()) == 0) {
            found = entry.th32ProcessID;
            ++count;
        }
    }
    CloseHandle(snapshot);
    return count == 1 ? found : 0;
}

}  // namespace

int main(int argc, char* argv[]) {
    const std::string name = argc == 3 ? argv[2] : "";
    if (name != "close" && name != "c") {
        std::fprintf(stderr, "usage: raise_console_event <program> close|c\n");
        return 2;
    }
    const DWORD event = name == "close" ? CTRL_CLOSE_EVENT : CTRL_C_EVENT;
    const std::string program = argv[1];
    const DWORD id = findProcess(std::wstring(program.begin(), program.end()));
    if (id == 0) {
        std::fprintf(stderr, "not exactly one process named %s\n", argv[1]);
        return 1;
    }
    // The system's libraries lie at the same address in every process.
    HMODULE library = GetModuleHandleW(L"kernelbase.dll");
    FARPROC routine = library != nullptr ? GetProcAddress(library, "CtrlRoutine") : nullptr;
    if (routine == nullptr) {
        std::fprintf(stderr, "no console routine in kernelbase.dll\n");
        return 1;
    }
    HANDLE process = OpenProcess(PROCESS_CREATE_THREAD | PROCESS_QUERY_INFORMATION |
                                     PROCESS_VM_OPERATION | PROCESS_VM_WRITE | PROCESS_VM_READ,
                                 FALSE, id);
    if (process == nullptr) {
        std::fprintf(stderr, "cannot open process %lu: error %lu\n", id, GetLastError());
        return 1;
    }
    const auto start =
        reinterpret_cast<LPTHREAD_START_ROUTINE>(reinterpret_cast<void (*)()>(routine));
    HANDLE thread =
        CreateRemoteThread(process, nullptr, 0, start,
                           reinterpret_cast<void*>(static_cast<std::uintptr_t>(event)), 0, nullptr);
    const DWORD error = GetLastError();
    CloseHandle(process);
    if (thread == nullptr) {
        std::fprintf(stderr, "cannot start the console routine: error %lu\n", error);
        return 1;
    }
    CloseHandle(thread);
    return 0;
}
