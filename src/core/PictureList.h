// The picture list that the control window shows: its entries as the list file holds them, byte for byte, and
// the file they belong to. Commands change the list and save it; the window only shows it.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace velmo {

class PictureList {
public:
    PictureList() = default;
    // The items of a list file's bytes (as ParseListFile reads them), belonging to the file `file`.
    PictureList(std::string file, std::string_view bytes);

    const std::string& file() const { return file_; }  // the file's name in the program folder
    size_t size() const { return entries_.size(); }
    // Whether `index` names an entry: the list box's selection counts only then.
    bool Has(int index) const { return index >= 0 && static_cast<size_t>(index) < entries_.size(); }
    std::string_view operator[](size_t index) const { return {text_.data() + entries_[index].at, entries_[index].length}; }
    // The same entry ending in a NUL, for the calls that take such a text. Valid until the next change.
    const char* CString(size_t index) const { return text_.data() + entries_[index].at; }

    void Add(std::string_view item);
    // Both do nothing for an index that names no entry.
    void Remove(int index);
    void Replace(int index, std::string_view item);

    // The list file's bytes: every entry followed by CR LF. An entry that no command changed comes out with
    // exactly the bytes it was read with, whatever they are.
    std::string Format() const;

private:
    // The entries lie in one text, each followed by a NUL (a list file's text ends at a NUL, so no entry holds
    // one): a long list costs its bytes and a few more, not an allocation an entry. A replaced or removed entry
    // leaves its old bytes behind until the list is read again.
    struct Span {
        size_t at;
        size_t length;
    };
    std::string file_;
    std::string text_;
    std::vector<Span> entries_;
};

}  // namespace velmo
