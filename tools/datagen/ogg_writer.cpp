#include "tools/datagen/ogg_writer.h"

#include <vorbis/vorbisenc.h>

#include <cstring>

static void AppendPage(std::vector<unsigned char>& out, const ogg_page& page) {
  out.insert(out.end(), page.header, page.header + page.header_len);
  out.insert(out.end(), page.body, page.body + page.body_len);
}

std::vector<unsigned char> EncodeVorbis(const std::vector<float>& samples, int channels, int rate,
                                        float quality, uint32_t serial) {
  std::vector<unsigned char> out;
  vorbis_info info;
  vorbis_info_init(&info);
  if (vorbis_encode_init_vbr(&info, channels, rate, quality) != 0) {
    vorbis_info_clear(&info);
    return out;
  }
  vorbis_comment comment;
  vorbis_comment_init(&comment);
  vorbis_comment_add_tag(&comment, "TITLE", "Vexmoor");
  vorbis_dsp_state dsp;
  vorbis_block block;
  vorbis_analysis_init(&dsp, &info);
  vorbis_block_init(&dsp, &block);
  ogg_stream_state stream;
  ogg_stream_init(&stream, (int)serial);

  ogg_packet header, headerComment, headerCode;
  vorbis_analysis_headerout(&dsp, &comment, &header, &headerComment, &headerCode);
  ogg_stream_packetin(&stream, &header);
  ogg_stream_packetin(&stream, &headerComment);
  ogg_stream_packetin(&stream, &headerCode);
  ogg_page page;
  // The headers get pages of their own, as players expect.
  while (ogg_stream_flush(&stream, &page)) AppendPage(out, page);

  const size_t frames = samples.size() / channels;
  const size_t chunk = 1024;
  size_t done = 0;
  bool finished = false;
  while (!finished) {
    size_t n = frames - done < chunk ? frames - done : chunk;
    if (n == 0) {
      vorbis_analysis_wrote(&dsp, 0);
    } else {
      float** buffer = vorbis_analysis_buffer(&dsp, (int)n);
      for (size_t i = 0; i < n; ++i)
        for (int c = 0; c < channels; ++c) buffer[c][i] = samples[(done + i) * channels + c];
      vorbis_analysis_wrote(&dsp, (int)n);
      done += n;
    }
    while (vorbis_analysis_blockout(&dsp, &block) == 1) {
      vorbis_analysis(&block, nullptr);
      vorbis_bitrate_addblock(&block);
      ogg_packet packet;
      while (vorbis_bitrate_flushpacket(&dsp, &packet)) {
        ogg_stream_packetin(&stream, &packet);
        while (ogg_stream_pageout(&stream, &page)) {
          AppendPage(out, page);
          if (ogg_page_eos(&page)) finished = true;
        }
      }
    }
    if (n == 0) finished = true;
  }
  while (ogg_stream_flush(&stream, &page)) AppendPage(out, page);

  ogg_stream_clear(&stream);
  vorbis_block_clear(&block);
  vorbis_dsp_clear(&dsp);
  vorbis_comment_clear(&comment);
  vorbis_info_clear(&info);
  return out;
}
