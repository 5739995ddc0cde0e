#pragma once
// Timing and reporting for the benchmarks. Every figure is the median of
// repeated runs with its minimum and maximum; every ratio divides the
// medians of a measurement and its floor taken in the same run, interleaved,
// because this machine is shared and noisy.
#include <windows.h>

#include <functional>
#include <string>
#include <vector>

double NowMs();  // QueryPerformanceCounter in milliseconds

struct Stat {
    double median = 0, min = 0, max = 0;
};
Stat Summarize(std::vector<double> samples);

// Runs floor and measured in turn `reps` times (after one untimed warm-up of
// each when `warmUp`); each callback returns its own duration in ms.
struct Pair {
    Stat figure, floor;
};
Pair Interleave(int reps, bool warmUp, const std::function<double()>& floor, const std::function<double()>& figure);

// One row of the result table.
struct Row {
    std::string what, size, unit;
    Stat figure, floor;
    std::string ratioText;  // e.g. "1.12×" or "+3.1 look-ups"
    std::string target;
    std::string verdict;    // "holds", "misses", "—"
};

class Report {
public:
    void Add(Row row);
    void Note(const std::string& text);
    void Print() const;  // markdown table and notes on stdout

private:
    std::vector<Row> rows_;
    std::vector<std::string> notes_;
};

std::string Fixed(double value, int digits);
// "+" in front of a figure (built by appending: GCC 12 warns falsely about
// a literal added in front of a temporary string).
std::string Plus(const std::string& figure);
std::string Ratio(double figure, double floor);  // "1.23×"
std::string Utf8(const std::wstring& text);
