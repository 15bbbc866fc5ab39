#include "core/PictureList.h"

#include "core/ListFile.h"

namespace velmo {

PictureList::PictureList(std::string file, std::string_view bytes) : file_(std::move(file)) {
    const std::vector<std::string_view> lines = ListFileLines(bytes);
    size_t total = 0;
    for (std::string_view line : lines)
        total += line.size() + 1;
    text_.reserve(total);
    entries_.reserve(lines.size());
    for (std::string_view line : lines)
        Add(line);
}

void PictureList::Add(std::string_view item) {
    entries_.push_back({text_.size(), item.size()});
    text_.append(item);
    text_.push_back('\0');
}

void PictureList::Remove(int index) {
    if (Has(index))
        entries_.erase(entries_.begin() + index);
}

void PictureList::Replace(int index, std::string_view item) {
    if (!Has(index))
        return;
    entries_[static_cast<size_t>(index)] = {text_.size(), item.size()};
    text_.append(item);
    text_.push_back('\0');
}

std::string PictureList::Format() const {
    size_t size = 0;
    for (const Span& entry : entries_)
        size += entry.length + 2;
    std::string text;
    text.reserve(size);
    for (size_t i = 0; i < entries_.size(); ++i) {
        text += (*this)[i];
        text += "\r\n";
    }
    return text;
}

}  // namespace velmo
