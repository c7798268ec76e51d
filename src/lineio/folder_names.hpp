// The names a folder listing found, kept one after the other in a single block of bytes: a folder
// of a hundred thousand clips costs the bytes of its names and one number each, rather than a
// string and an allocation each.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

namespace lineio {

class FolderNames {
  public:
    void clear() {
        bytes_.clear();
        ends_.clear();
    }
    void push_back(std::string_view name) {
        bytes_.append(name);
        ends_.push_back(bytes_.size());
    }

    std::size_t size() const { return ends_.size(); }
    bool empty() const { return ends_.empty(); }
    std::string_view operator[](std::size_t index) const {
        const std::size_t start = index == 0 ? 0 : ends_[index - 1];
        return std::string_view(bytes_).substr(start, ends_[index] - start);
    }

    // Every name, in the order they were found; valid while the names are kept unchanged.
    std::vector<std::string_view> views() const {
        std::vector<std::string_view> all;
        all.reserve(size());
        for (std::size_t index = 0; index < size(); ++index) {
            all.push_back((*this)[index]);
        }
        return all;
    }

  private:
    std::string bytes_;
    std::vector<std::size_t> ends_;
};

}  // namespace lineio
