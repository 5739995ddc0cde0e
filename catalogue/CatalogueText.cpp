#include "catalogue/CatalogueText.h"

void CatalogueText::Clear() {
    text_.clear();
    lineEnds_.clear();
}

void CatalogueText::AddLine(std::wstring_view line) {
    text_.append(line);
    lineEnds_.push_back(text_.size());
    text_.append(L"\r\n", 2);
}

void CatalogueText::Trim() {
    constexpr std::size_t kKeep = std::size_t{64} << 10;
    if (text_.capacity() / 4 > text_.size() + kKeep) text_.shrink_to_fit();
    if (lineEnds_.capacity() / 4 > lineEnds_.size() + kKeep) lineEnds_.shrink_to_fit();
}

std::wstring_view CatalogueText::Line(std::size_t i) const {
    const std::size_t start = i == 0 ? 0 : lineEnds_[i - 1] + 2;
    return std::wstring_view(text_).substr(start, lineEnds_[i] - start);
}
