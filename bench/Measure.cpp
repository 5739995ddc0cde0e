#include "bench/Measure.h"

#include <algorithm>
#include <cstdio>

double NowMs() {
    static const double perMs = [] {
        LARGE_INTEGER f;
        QueryPerformanceFrequency(&f);
        return static_cast<double>(f.QuadPart) / 1000.0;
    }();
    LARGE_INTEGER t;
    QueryPerformanceCounter(&t);
    return static_cast<double>(t.QuadPart) / perMs;
}

Stat Summarize(std::vector<double> samples) {
    Stat s;
    if (samples.empty()) return s;
    std::sort(samples.begin(), samples.end());
    const size_t n = samples.size();
    s.median = n % 2 ? samples[n / 2] : (samples[n / 2 - 1] + samples[n / 2]) / 2;
    s.min = samples.front();
    s.max = samples.back();
    return s;
}

Pair Interleave(int reps, bool warmUp, const std::function<double()>& floor, const std::function<double()>& figure) {
    if (warmUp) {
        floor();
        figure();
    }
    std::vector<double> a, b;
    for (int i = 0; i < reps; ++i) {
        a.push_back(floor());
        b.push_back(figure());
    }
    return {Summarize(b), Summarize(a)};
}

std::string Plus(const std::string& figure) {
    std::string text = "+";
    text += figure;
    return text;
}

std::string Fixed(double value, int digits) {
    char buf[64];
    std::snprintf(buf, sizeof buf, "%.*f", digits, value);
    return buf;
}

std::string Ratio(double figure, double floor) {
    if (floor <= 0) return "—";
    return Fixed(figure / floor, 2) + "×";
}

std::string Utf8(const std::wstring& text) {
    if (text.empty()) return {};
    const int n = WideCharToMultiByte(CP_UTF8, 0, text.data(), static_cast<int>(text.size()), nullptr, 0, nullptr,
                                      nullptr);
    std::string out(static_cast<size_t>(n), '\0');
    WideCharToMultiByte(CP_UTF8, 0, text.data(), static_cast<int>(text.size()), out.data(), n, nullptr, nullptr);
    return out;
}

void Report::Add(Row row) {
    rows_.push_back(std::move(row));
    // Progress on stderr so a long run shows where it is.
    const Row& r = rows_.back();
    std::fprintf(stderr, "  %s %s: %s %s (floor %s) %s\n", r.what.c_str(), r.size.c_str(),
                 Fixed(r.figure.median, 3).c_str(), r.unit.c_str(), Fixed(r.floor.median, 3).c_str(),
                 r.ratioText.c_str());
}

void Report::Note(const std::string& text) {
    notes_.push_back(text);
    std::fprintf(stderr, "  note: %s\n", text.c_str());
}

void Report::Print() const {
    const auto cell = [](const Stat& s, int digits) {
        return Fixed(s.median, digits) + " [" + Fixed(s.min, digits) + "–" + Fixed(s.max, digits) + "]";
    };
    std::printf("| What | Size | Unit | Figure median [min–max] | Floor median [min–max] | Ratio | Target | Verdict |\n");
    std::printf("|---|---|---|---|---|---|---|---|\n");
    for (const Row& r : rows_) {
        const int digits = r.unit == "count" ? 0 : (r.figure.median >= 100 ? 1 : 3);
        std::printf("| %s | %s | %s | %s | %s | %s | %s | %s |\n", r.what.c_str(), r.size.c_str(), r.unit.c_str(),
                    cell(r.figure, digits).c_str(), cell(r.floor, digits).c_str(), r.ratioText.c_str(),
                    r.target.c_str(), r.verdict.c_str());
    }
    if (!notes_.empty()) std::printf("\n");
    for (const auto& n : notes_) std::printf("- %s\n", n.c_str());
    std::fflush(stdout);
}
