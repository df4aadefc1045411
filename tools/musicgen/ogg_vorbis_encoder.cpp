#include "tools/musicgen/ogg_vorbis_encoder.h"

#include <vorbis/vorbisenc.h>

#include <algorithm>

namespace {

constexpr int streamSerial = 0x4D757369;
constexpr std::size_t framesPerWrite = 4096;

// Owns the libogg and libvorbis state of one encode and releases it in reverse order of set-up.
struct VorbisEncoder {
    vorbis_info info{};
    vorbis_comment comment{};
    vorbis_dsp_state dsp{};
    vorbis_block block{};
    ogg_stream_state stream{};
    bool analysing = false;

    VorbisEncoder() {
        vorbis_info_init(&info);
        vorbis_comment_init(&comment);
    }
    ~VorbisEncoder() {
        if (analysing) {
            ogg_stream_clear(&stream);
            vorbis_block_clear(&block);
            vorbis_dsp_clear(&dsp);
        }
        vorbis_comment_clear(&comment);
        vorbis_info_clear(&info);
    }
    VorbisEncoder(const VorbisEncoder&) = delete;
    VorbisEncoder& operator=(const VorbisEncoder&) = delete;
};

void appendPage(const ogg_page& page, std::vector<std::uint8_t>& encoded) {
    encoded.insert(encoded.end(), page.header, page.header + page.header_len);
    encoded.insert(encoded.end(), page.body, page.body + page.body_len);
}

// Moves every finished packet into the stream and every full page into `encoded`.
void drainBlocks(VorbisEncoder& e, std::vector<std::uint8_t>& encoded) {
    ogg_packet packet;
    ogg_page page;
    while (vorbis_analysis_blockout(&e.dsp, &e.block) == 1) {
        vorbis_analysis(&e.block, nullptr);
        vorbis_bitrate_addblock(&e.block);
        while (vorbis_bitrate_flushpacket(&e.dsp, &packet) == 1) {
            ogg_stream_packetin(&e.stream, &packet);
            while (ogg_stream_pageout(&e.stream, &page) != 0)
                appendPage(page, encoded);
        }
    }
}

} // namespace

bool encodeOggVorbis(const StereoSignal& signal, float quality, std::vector<std::uint8_t>& encoded,
                     std::string& error) {
    VorbisEncoder e;
    if (vorbis_encode_init_vbr(&e.info, 2, musicSampleRate, quality) != 0) {
        error = "the Vorbis encoder does not accept quality " + std::to_string(quality);
        return false;
    }
    vorbis_comment_add_tag(&e.comment, "TITLE", "Heliox ambient loop");
    vorbis_analysis_init(&e.dsp, &e.info);
    vorbis_block_init(&e.dsp, &e.block);
    ogg_stream_init(&e.stream, streamSerial);
    e.analysing = true;

    // The three header packets go on pages of their own, as players expect.
    ogg_packet identification, comments, codebooks;
    vorbis_analysis_headerout(&e.dsp, &e.comment, &identification, &comments, &codebooks);
    ogg_stream_packetin(&e.stream, &identification);
    ogg_stream_packetin(&e.stream, &comments);
    ogg_stream_packetin(&e.stream, &codebooks);
    encoded.clear();
    ogg_page page;
    while (ogg_stream_flush(&e.stream, &page) != 0)
        appendPage(page, encoded);

    std::size_t frames = std::min(signal.left.size(), signal.right.size());
    for (std::size_t done = 0; done < frames;) {
        std::size_t count = std::min(framesPerWrite, frames - done);
        float** buffer = vorbis_analysis_buffer(&e.dsp, static_cast<int>(count));
        std::copy_n(signal.left.begin() + static_cast<std::ptrdiff_t>(done), count, buffer[0]);
        std::copy_n(signal.right.begin() + static_cast<std::ptrdiff_t>(done), count, buffer[1]);
        vorbis_analysis_wrote(&e.dsp, static_cast<int>(count));
        drainBlocks(e, encoded);
        done += count;
    }
    vorbis_analysis_wrote(&e.dsp, 0); // end of stream: the last page carries the exact final frame count
    drainBlocks(e, encoded);
    while (ogg_stream_flush(&e.stream, &page) != 0)
        appendPage(page, encoded);
    return true;
}
