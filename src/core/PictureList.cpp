#include "core/PictureList.h"

#include "core/ListFile.h"

namespace velmo {

PictureList::PictureList(std::string file, std::string_view bytes)
    : file_(std::move(file)), items_(ParseListFile(bytes)) {}

void PictureList::Remove(int index) {
    if (Has(index))
        items_.erase(items_.begin() + index);
}

void PictureList::Replace(int index, std::string item) {
    if (Has(index))
        items_[static_cast<size_t>(index)] = std::move(item);
}

std::string PictureList::Format() const {
    return FormatListFile(items_);
}

}  // namespace velmo
