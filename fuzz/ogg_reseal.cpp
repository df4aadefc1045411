#include "fuzz/ogg_reseal.h"

#include <ogg/ogg.h>

#include <cstring>

void resealOggPages(std::vector<std::uint8_t>& file) {
    constexpr std::size_t headerSize = 27;
    std::size_t at = 0;
    while (file.size() - at >= headerSize && std::memcmp(&file[at], "OggS", 4) == 0) {
        const std::size_t segments = file[at + 26];
        if (file.size() - at < headerSize + segments)
            return;
        std::size_t bodySize = 0;
        for (std::size_t i = 0; i < segments; ++i)
            bodySize += file[at + headerSize + i];
        const std::size_t headerLength = headerSize + segments;
        if (file.size() - at - headerLength < bodySize)
            return;
        ogg_page page{&file[at], static_cast<long>(headerLength), &file[at] + headerLength,
                      static_cast<long>(bodySize)};
        ogg_page_checksum_set(&page);
        at += headerLength + bodySize;
    }
}
