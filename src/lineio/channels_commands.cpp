// The program's two command lines, carried out by the program itself: no shell ever sees the
// folder name that the user typed, so no character in it can start anything.
#include <algorithm>
#include <cstdint>
#include <string>
#include <vector>

#include "lineio/channels.hpp"
#include "lineio/command_lines.hpp"
#include "lineio/fixed_text.hpp"
#include "lineio/name_order.hpp"
#include "platform/platform.hpp"
#include "version.hpp"

namespace lineio {

namespace {

constexpr std::string_view listing_file = rur::listing_file;

constexpr int command_succeeded = 0;
constexpr int command_failed = 1;

// Listings of large folders go out in pieces of about this size.
constexpr std::size_t listing_piece = std::size_t{64} * 1024;

constexpr std::string_view listing_place = "file \"list.txt\" in the current directory";

}  // namespace

void Channels::fail_listing(std::string_view reason) {
    fail({Activity::listing, -1, Cause::other, std::string(reason), std::string(listing_place),
          std::string(listing_file)});
}

int Channels::run_command_line(std::string_view command_line, FolderListing* listing_seen,
                               std::string* in_memory) {
    const std::string_view command = trimmed(command_line);
    if (command == deletion_command) {
        if (in_memory != nullptr) {
            in_memory->clear();
            return command_succeeded;
        }
        return platform::remove_file(std::string(listing_file)) == 0 ? command_succeeded
                                                                     : command_failed;
    }
    if (command.size() < listing_command_start.size() + listing_command_end.size() ||
        !command.starts_with(listing_command_start) || !command.ends_with(listing_command_end)) {
        return command_failed;
    }
    const std::string folder(
        command.substr(listing_command_start.size(),
                       command.size() - listing_command_start.size() - listing_command_end.size()));

    // As with a redirection, the listing file exists and is empty before the folder is looked at.
    platform::File listing;
    if (in_memory != nullptr) {
        in_memory->clear();
    }
    if (const int error =
            in_memory != nullptr ? 0 : listing.create_or_empty(std::string(listing_file));
        error != 0) {
        fail_listing(platform::is_symbolic_link_refusal(error)
                         ? "list.txt is a symbolic link, which the program never writes through"
                     : platform::is_hard_link_refusal(error)
                         ? "list.txt has other names as well (hard links), which the program "
                           "never writes through"
                         : platform::describe_error(error));
    }
    platform::Folder listed_folder;
    FolderListing seen;
    const bool listed = listed_folder.open(folder, true) == 0 &&
                        listed_folder.list([&](const platform::FolderEntry& entry) {
                            seen.entries.push_back({static_cast<std::uint32_t>(seen.names.size()),
                                                    static_cast<std::uint32_t>(entry.name.size())});
                            seen.names.append(entry.name);
                            if (entry.index != 0) {
                                seen.numbers.push_back(entry.index);
                            }
                        }) == 0;
    if (listed) {
        sort_by_name(seen.entries, seen.names.data());
        if (platform::FileIdentity self;
            listing_seen != nullptr && listed_folder.identify_self(self) == 0) {
            seen.folder_number = self.index;
        }
        std::string piece;
        const auto write_piece = [&] {
            if (in_memory != nullptr) {
                in_memory->append(piece);
            } else if (const int error = listing.write(piece); error != 0) {
                fail_listing(platform::describe_error(error));
            }
            piece.clear();
        };
        for (const FolderListing::Entry& entry : seen.entries) {
            piece.append(seen.name(entry)).append("\r\n");
            if (piece.size() >= listing_piece) {
                write_piece();
            }
        }
        if (!piece.empty()) {
            write_piece();
        }
    }
    if (const int error = listing.close(); error != 0) {
        fail_listing(platform::describe_error(error));
    }
    if (listed && listing_seen != nullptr) {
        *listing_seen = std::move(seen);
    }
    return listed ? command_succeeded : command_failed;
}

}  // namespace lineio
