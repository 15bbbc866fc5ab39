// The picture list that the control window shows: its entries as the list file holds them, byte for byte, and
// the file they belong to. Commands change the list and save it; the window only shows it.
#pragma once

#include <cstddef>
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
    const std::vector<std::string>& items() const { return items_; }
    size_t size() const { return items_.size(); }
    // Whether `index` names an entry: the list box's selection counts only then.
    bool Has(int index) const { return index >= 0 && static_cast<size_t>(index) < items_.size(); }
    const std::string& operator[](size_t index) const { return items_[index]; }

    void Add(std::string item) { items_.push_back(std::move(item)); }
    // Both do nothing for an index that names no entry.
    void Remove(int index);
    void Replace(int index, std::string item);

    // The list file's bytes: every entry followed by CR LF. An entry that no command changed comes out with
    // exactly the bytes it was read with, whatever they are.
    std::string Format() const;

private:
    std::string file_;
    std::vector<std::string> items_;
};

}  // namespace velmo
