// Ogg Vorbis encoding through libvorbisenc, all in memory.
#include "tools/writers/ogg_writer.h"

#include <vorbis/vorbisenc.h>

#include <cmath>
#include <numbers>

namespace {
void appendPage(std::vector<uint8_t>& out, const ogg_page& page) {
    out.insert(out.end(), page.header, page.header + page.header_len);
    out.insert(out.end(), page.body, page.body + page.body_len);
}

// Moves every finished packet of the encoder into the stream and every full page into `out`.
void drain(vorbis_dsp_state& dsp, vorbis_block& block, ogg_stream_state& stream,
           std::vector<uint8_t>& out) {
    ogg_packet packet;
    ogg_page page;
    while (vorbis_analysis_blockout(&dsp, &block) == 1) {
        vorbis_analysis(&block, nullptr);
        vorbis_bitrate_addblock(&block);
        while (vorbis_bitrate_flushpacket(&dsp, &packet)) {
            ogg_stream_packetin(&stream, &packet);
            while (ogg_stream_pageout(&stream, &page)) appendPage(out, page);
        }
    }
}
}  // namespace

std::vector<uint8_t> writeOggVorbis(const int16_t* samples, size_t frames, int channels, int rate,
                                    float quality) {
    std::vector<uint8_t> out;
    if ((channels != 1 && channels != 2) || rate <= 0 || (frames > 0 && !samples)) return out;

    vorbis_info info;
    vorbis_info_init(&info);
    if (vorbis_encode_init_vbr(&info, channels, rate, quality) != 0) {
        vorbis_info_clear(&info);
        return out;
    }
    vorbis_comment comment;
    vorbis_comment_init(&comment);
    vorbis_dsp_state dsp;
    vorbis_block block;
    vorbis_analysis_init(&dsp, &info);
    vorbis_block_init(&dsp, &block);
    ogg_stream_state stream;
    ogg_stream_init(&stream, 1);

    ogg_packet header, commentHeader, codeHeader;
    vorbis_analysis_headerout(&dsp, &comment, &header, &commentHeader, &codeHeader);
    ogg_stream_packetin(&stream, &header);
    ogg_stream_packetin(&stream, &commentHeader);
    ogg_stream_packetin(&stream, &codeHeader);
    ogg_page page;
    while (ogg_stream_flush(&stream, &page)) appendPage(out, page);  // audio starts on a new page

    constexpr size_t kChunk = 4096;
    for (size_t done = 0; done < frames;) {
        const size_t n = frames - done < kChunk ? frames - done : kChunk;
        float** buffer = vorbis_analysis_buffer(&dsp, static_cast<int>(n));
        for (size_t i = 0; i < n; ++i)
            for (int c = 0; c < channels; ++c)
                buffer[c][i] = samples[(done + i) * channels + c] / 32768.0f;
        vorbis_analysis_wrote(&dsp, static_cast<int>(n));
        drain(dsp, block, stream, out);
        done += n;
    }
    vorbis_analysis_wrote(&dsp, 0);
    drain(dsp, block, stream, out);
    while (ogg_stream_flush(&stream, &page)) appendPage(out, page);

    ogg_stream_clear(&stream);
    vorbis_block_clear(&block);
    vorbis_dsp_clear(&dsp);
    vorbis_comment_clear(&comment);
    vorbis_info_clear(&info);
    return out;
}

std::vector<int16_t> sineTone(double seconds, int channels, int rate, double frequency,
                              double amplitude) {
    const size_t frames = static_cast<size_t>(std::lround(seconds * rate));
    std::vector<int16_t> out(frames * static_cast<size_t>(channels));
    for (size_t i = 0; i < frames; ++i) {
        const double v = amplitude * std::sin(2 * std::numbers::pi * frequency * i / rate);
        for (int c = 0; c < channels; ++c)
            out[i * channels + c] = static_cast<int16_t>(std::lround(v));
    }
    return out;
}
