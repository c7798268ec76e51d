// A file open on a channel: the file, the lines read from it and the lines written to it.
#pragma once

#include <string>
#include <utility>

#include "lineio/line_reader.hpp"
#include "lineio/platform.hpp"

namespace lineio {

class FileChannel {
  public:
    explicit FileChannel(std::string file_name)
        : name(std::move(file_name)),
          reader([this](char* buffer, std::size_t capacity, std::size_t& count) {
              return file.read(buffer, capacity, count);
          }) {}
    FileChannel(const FileChannel&) = delete;
    FileChannel& operator=(const FileChannel&) = delete;

    std::string name;
    platform::File file;
    LineReader reader;
    long long lines_written = 0;
    // The first write cuts the file off where it stands; later writes follow it.
    bool written = false;
};

}  // namespace lineio
