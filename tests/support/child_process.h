// Runs a program as a separate process, for the tests of torva-port: to
// its end with its output in files (standard output to `target` when one
// is given), or as a running child whose output is read line by line
// until it is stopped.
#pragma once

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#ifdef _WIN32
#ifndef NOMINMAX
#define NOMINMAX
#endif
#include <fcntl.h>
#include <io.h>
#include <windows.h>
#else
#include <sys/wait.h>

#include <csignal>
#endif

namespace testsupport {

struct Outcome {
    int status;
    std::string out;
    std::string err;
};

inline std::string slurp(const std::filesystem::path& path) {
    std::ifstream in(path);  // text mode: "\r\n" reads as "\n" on Windows
    std::stringstream s;
    s << in.rdbuf();
    return s.str();
}

#ifdef _WIN32

inline std::wstring widen(const std::string& text) {
    std::wstring wide(text.size() + 1, L'\0');
    const int n =
        MultiByteToWideChar(CP_UTF8, 0, text.c_str(), -1, wide.data(), static_cast<int>(wide.size()));
    wide.resize(n > 0 ? static_cast<std::size_t>(n - 1) : 0);
    return wide;
}

// One argument as CommandLineToArgvW splits it back: backslashes stand
// for themselves except before a quote, where each is doubled and the
// quote escaped, as they are before the closing quote.
inline std::wstring quoted(const std::string& arg) {
    std::wstring q = L"\"";
    std::size_t backslashes = 0;  // the run just copied
    for (wchar_t c : widen(arg)) {
        if (c == L'"') q.append(backslashes + 1, L'\\');
        backslashes = c == L'\\' ? backslashes + 1 : 0;
        q += c;
    }
    return q.append(backslashes, L'\\') + L"\"";
}

inline std::wstring command_line(const std::string& program, const std::vector<std::string>& args) {
    std::wstring line = quoted(program);
    for (const auto& arg : args) line += L" " + quoted(arg);
    return line;
}

inline HANDLE inheritable_file(const std::string& path) {
    SECURITY_ATTRIBUTES inherit{sizeof inherit, nullptr, TRUE};
    return CreateFileW(widen(path).c_str(), GENERIC_WRITE, FILE_SHARE_READ, &inherit, CREATE_ALWAYS,
                       FILE_ATTRIBUTE_NORMAL, nullptr);
}

// Starts the program with the given standard output and error; false when it can't start.
inline bool spawn(const std::string& program, const std::vector<std::string>& args, HANDLE out, HANDLE err,
                  PROCESS_INFORMATION& process) {
    STARTUPINFOW startup{};
    startup.cb = sizeof startup;
    startup.dwFlags = STARTF_USESTDHANDLES;
    startup.hStdInput = GetStdHandle(STD_INPUT_HANDLE);
    startup.hStdOutput = out;
    startup.hStdError = err;
    std::wstring line = command_line(program, args);
    return CreateProcessW(nullptr, line.data(), nullptr, nullptr, TRUE, 0, nullptr, nullptr, &startup,
                          &process);
}

inline Outcome run_process(const std::string& program, const std::vector<std::string>& args,
                           const std::string& stem, const std::string& target = "") {
    const std::string out = stem + ".out", err = stem + ".err";
    HANDLE out_file = inheritable_file(target.empty() ? out : target), err_file = inheritable_file(err);
    PROCESS_INFORMATION process{};
    DWORD status = DWORD(-1);
    if (spawn(program, args, out_file, err_file, process)) {
        WaitForSingleObject(process.hProcess, INFINITE);
        GetExitCodeProcess(process.hProcess, &status);
        CloseHandle(process.hThread);
        CloseHandle(process.hProcess);
    }
    CloseHandle(out_file);
    CloseHandle(err_file);
    Outcome result{static_cast<int>(status), slurp(out), slurp(err)};
    // A process that the program's start made (Wine's desktop for a window
    // program) may still hold the files open; they then stay behind.
    std::error_code held;
    std::filesystem::remove(out, held);
    std::filesystem::remove(err, held);
    return result;
}

// The first four rows of a console screen buffer's cells, row by row: a
// long line runs on into the next row.
inline std::wstring console_rows(HANDLE screen) {
    CONSOLE_SCREEN_BUFFER_INFO info{};
    GetConsoleScreenBufferInfo(screen, &info);
    std::wstring shown(static_cast<std::size_t>(info.dwSize.X) * 4, L' ');
    DWORD read = 0;
    ReadConsoleOutputCharacterW(screen, shown.data(), static_cast<DWORD>(shown.size()), COORD{0, 0}, &read);
    return shown;
}

// A running program whose standard output is read line by line.
class Child {
public:
    Child(const std::string& program, const std::vector<std::string>& args) {
        SECURITY_ATTRIBUTES inherit{sizeof inherit, nullptr, TRUE};
        HANDLE read_end = nullptr, write_end = nullptr;
        if (!CreatePipe(&read_end, &write_end, &inherit, 0)) return;
        SetHandleInformation(read_end, HANDLE_FLAG_INHERIT, 0);
        if (spawn(program, args, write_end, GetStdHandle(STD_ERROR_HANDLE), process_))
            output_ =
                _fdopen(_open_osfhandle(reinterpret_cast<intptr_t>(read_end), _O_RDONLY | _O_TEXT), "r");
        else CloseHandle(read_end);
        CloseHandle(write_end);
    }
    ~Child() {
        if (!output_) return;
        TerminateProcess(process_.hProcess, 0);
        WaitForSingleObject(process_.hProcess, INFINITE);
        CloseHandle(process_.hThread);
        CloseHandle(process_.hProcess);
        std::fclose(output_);
    }
    bool started() const { return output_ != nullptr; }
    std::string next_line() {
        char line[256];
        return std::fgets(line, sizeof line, output_) ? std::string(line) : "";
    }

private:
    PROCESS_INFORMATION process_{};
    std::FILE* output_ = nullptr;
};

#else

inline std::string quoted(const std::string& arg) {
    std::string q = "'";
    for (char c : arg) q += c == '\'' ? std::string("'\\''") : std::string(1, c);
    return q + "'";
}

inline std::string command_line(const std::string& program, const std::vector<std::string>& args) {
    std::string line = quoted(program);
    for (const auto& arg : args) line += " " + quoted(arg);
    return line;
}

inline Outcome run_process(const std::string& program, const std::vector<std::string>& args,
                           const std::string& stem, const std::string& target = "") {
    const std::string out = stem + ".out", err = stem + ".err";
    const std::string to = target.empty() ? out : target;
    const int raw =
        std::system((command_line(program, args) + " >" + quoted(to) + " 2>" + quoted(err)).c_str());
    Outcome result{WIFEXITED(raw) ? WEXITSTATUS(raw) : -1, slurp(out), slurp(err)};
    std::filesystem::remove(out);
    std::filesystem::remove(err);
    return result;
}

// A running program whose standard output is read line by line; the
// first line the shell prints is the program's process id.
class Child {
public:
    Child(const std::string& program, const std::vector<std::string>& args)
        : output_(::popen(("echo $$; exec " + command_line(program, args)).c_str(), "r")) {
        if (output_) pid_ = std::stoi(next_line());
    }
    ~Child() {
        if (!output_) return;
        ::kill(pid_, SIGINT);
        ::pclose(output_);
    }
    bool started() const { return output_ != nullptr; }
    std::string next_line() {
        char line[256];
        return std::fgets(line, sizeof line, output_) ? std::string(line) : "";
    }

private:
    std::FILE* output_;
    pid_t pid_ = 0;
};

#endif

}  // namespace testsupport
