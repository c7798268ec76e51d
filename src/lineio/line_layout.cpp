#include "lineio/line_layout.hpp"

#include <algorithm>
#include <array>
#include <charconv>
#include <cstddef>

namespace lineio {

namespace {

// Widest line a list-style line may reach before it is broken.
constexpr std::size_t list_line_columns = 79;
// Columns of an integer in a list-style line.
constexpr std::size_t list_integer_columns = 12;

// The decimal digits of `value`, a minus sign first when negative.
std::string_view decimal(std::int32_t value, std::array<char, 16>& room) {
    const auto result = std::to_chars(room.data(), room.data() + room.size(), value);
    return {room.data(), static_cast<std::size_t>(result.ptr - room.data())};
}

enum class ItemKind { none, text, integer };

class ListLineBuilder {
  public:
    explicit ListLineBuilder(std::string& line) : line_(line) {}

    void add(const Item& item) {
        const ItemKind kind =
            std::holds_alternative<std::string_view>(item) ? ItemKind::text : ItemKind::integer;
        if (columns_ > 0 && !(kind == ItemKind::text && previous_ == ItemKind::text)) {
            append(" ");
        }
        if (kind == ItemKind::text) {
            append(std::get<std::string_view>(item));
        } else {
            std::array<char, 16> room{};
            const std::string_view digits = decimal(std::get<std::int32_t>(item), room);
            std::string padded(list_integer_columns - std::min(digits.size(), list_integer_columns),
                               ' ');
            padded.append(digits);
            append(padded);
        }
        previous_ = kind;
    }

  private:
    void append(std::string_view piece) {
        if (columns_ == 0) {
            line_.push_back(' ');
            columns_ = 1;
        } else if (columns_ + piece.size() > list_line_columns) {
            line_.append("\r\n ");
            columns_ = 1;
        }
        line_.append(piece);
        columns_ += piece.size();
    }

    std::string& line_;
    std::size_t columns_ = 0;
    ItemKind previous_ = ItemKind::none;
};

class FormattedLineBuilder {
  public:
    FormattedLineBuilder(std::span<const Item> items, std::string& line)
        : items_(items), line_start_(line.size()), line_(line) {}

    // Walks the elements; false once the walk has ended at a field with no item left.
    bool walk(const std::vector<LayoutElement>& elements) {
        return std::all_of(elements.begin(), elements.end(),
                           [this](const LayoutElement& element) { return visit(element); });
    }

    // Cuts the line behind the furthest column written, so that skips never leave trailing blanks.
    void finish() { line_.resize(line_start_ + furthest_); }

  private:
    bool visit(const LayoutElement& element) {
        if (const auto* skip = std::get_if<Skip>(&element)) {
            column_ += static_cast<std::size_t>(std::max(skip->columns, 0));
            return true;
        }
        if (const auto* group = std::get_if<RepeatedGroup>(&element)) {
            for (int round = 0; round < group->count; ++round) {
                if (!walk(group->elements)) {
                    return false;
                }
            }
            return true;
        }
        if (next_item_ == items_.size()) {
            return false;
        }
        const Item& item = items_[next_item_++];
        if (const auto* field = std::get_if<TextField>(&element)) {
            text_field(static_cast<std::size_t>(std::max(field->width, 0)), item);
        } else {
            integer_field(
                static_cast<std::size_t>(std::max(std::get<IntegerField>(element).width, 0)), item);
        }
        return true;
    }

    void text_field(std::size_t width, const Item& item) {
        const auto* text = std::get_if<std::string_view>(&item);
        if (text == nullptr) {
            // An integer handed to a text field shows as asterisks, as an overflow does.
            write_repeated('*', width);
        } else if (text->size() >= width) {
            write(text->substr(0, width));
        } else {
            // The blanks in front belong to the field: an empty text still fills it.
            write_repeated(' ', width - text->size());
            write(*text);
        }
    }

    void integer_field(std::size_t width, const Item& item) {
        const auto* value = std::get_if<std::int32_t>(&item);
        std::array<char, 16> room{};
        const std::string_view digits =
            value == nullptr ? std::string_view() : decimal(*value, room);
        if (value == nullptr || digits.size() > width) {
            write_repeated('*', width);
        } else {
            column_ += width - digits.size();
            write(digits);
        }
    }

    // Columns are only ever written from left to right, so every write lands at or behind the
    // line's end: the columns a skip passed over are filled with blanks, then the characters
    // follow.
    void write(std::string_view characters) {
        if (characters.empty()) {
            return;
        }
        move_line_end_to_column();
        line_.append(characters);
        column_ += characters.size();
        furthest_ = column_;
    }

    void write_repeated(char character, std::size_t count) {
        if (count == 0) {
            return;
        }
        move_line_end_to_column();
        line_.append(count, character);
        column_ += count;
        furthest_ = column_;
    }

    void move_line_end_to_column() {
        const std::size_t start = line_start_ + column_;
        if (line_.size() < start) {
            line_.append(start - line_.size(), ' ');
        }
    }

    std::span<const Item> items_;
    std::size_t next_item_ = 0;
    std::size_t line_start_;
    std::size_t column_ = 0;    // columns counted from 0
    std::size_t furthest_ = 0;  // columns written, from the first
    std::string& line_;
};

}  // namespace

void render_list_line(std::span<const Item> items, std::string& line) {
    ListLineBuilder builder(line);
    for (const Item& item : items) {
        builder.add(item);
    }
}

void render_formatted_line(const LineLayout& layout, std::span<const Item> items,
                           std::string& line) {
    FormattedLineBuilder builder(items, line);
    builder.walk(layout);
    builder.finish();
}

}  // namespace lineio
