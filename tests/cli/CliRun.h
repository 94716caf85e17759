// Runs pixwright-cli as a user's shell would, for the command-line tests.
#ifndef TESTS_CLI_CLIRUN_H
#define TESTS_CLI_CLIRUN_H

#include <array>
#include <cstdio>
#include <cstdlib>
#include <sstream>
#include <string>
#if !defined(_WIN32)
#  include <sys/wait.h>
#endif

struct CliRun {
    int status;
    std::string out;
};

// A word the shell passes on as it stands, spaces and all.
inline std::string shellQuoted(const std::string& text)
{
#if defined(_WIN32)
    return "\"" + text + "\"";
#else
    std::string out = "'";
    for (char c : text)
        out += c == '\'' ? std::string("'\\''") : std::string(1, c);
    return out + "'";
#endif
}

// Runs the program with standard error folded into standard output, its
// messages in the language of `locale` (LANG, with LC_ALL and LC_MESSAGES
// unset; further NAME=VALUE words after it are set as well).
inline CliRun runCli(const std::string& args, const std::string& locale = "C")
{
#if defined(_WIN32)
    // cmd.exe has no env: the program inherits this process's environment.
    std::istringstream words(locale);
    std::string word;
    words >> word;
    _putenv_s("LC_ALL", "");
    _putenv_s("LC_MESSAGES", "");
    _putenv_s("LANG", word.c_str());
    while (words >> word) {
        const std::size_t equals = word.find('=');
        if (equals != std::string::npos)
            _putenv_s(word.substr(0, equals).c_str(), word.substr(equals + 1).c_str());
    }
    const std::string command = std::string(PIXWRIGHT_CLI) + " " + args + " 2>&1";
#else
    const std::string command = "env -u LC_ALL -u LC_MESSAGES LANG=" + locale + " " + std::string(PIXWRIGHT_CLI)
                                + " " + args + " 2>&1";
#endif
    CliRun run{-1, ""};
    std::FILE* pipe = popen(command.c_str(), "r");
    if (pipe == nullptr)
        return run;
    std::array<char, 4096> buffer;
    std::size_t n;
    while ((n = std::fread(buffer.data(), 1, buffer.size(), pipe)) > 0)
        run.out.append(buffer.data(), n);
    const int status = pclose(pipe);
    run.status = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    return run;
}

#endif
