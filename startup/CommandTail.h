#pragma once

// The command-line tail as the program reads it, shared by the program and
// its Windows console companion (ConsoleCompanion.cpp), which needs no Qt:
// both must find the same tail in the same command line, and agree on which
// tails run without a window and answer their caller.

#include <algorithm>
#include <cstddef>
#include <string_view>

namespace CommandTail {

// Where the tail starts in a command line as Windows hands it to a program:
// after the program's own name (to the next quote when it starts with one,
// else to the first blank, as Windows reads it) and the blanks after it.
template <typename Char> constexpr std::size_t start(std::basic_string_view<Char> line)
{
    const auto blank = [](Char c) { return c == Char(' ') || c == Char('\t'); };
    std::size_t i = 0;
    if (!line.empty() && line[0] == Char('"')) {
        i = line.find(Char('"'), 1);
        i = i == line.npos ? line.size() : i + 1;
    } else {
        while (i < line.size() && !blank(line[i]))
            ++i;
    }
    while (i < line.size() && blank(line[i]))
        ++i;
    return i;
}

// True when the tail runs without a window and answers its caller on its
// standard streams and in its exit status: a batch word or --help or
// --version, each exactly.
template <typename Char> constexpr bool answersCaller(std::basic_string_view<Char> tail)
{
    for (const std::string_view word : {"XLIST", "BINS", "--help", "--version"}) {
        if (tail.size() == word.size()
            && std::equal(word.begin(), word.end(), tail.begin(), [](char w, Char t) { return Char(w) == t; }))
            return true;
    }
    return false;
}

} // namespace CommandTail
