// Codec names and channel counts from libavformat.
extern "C" {
#include <libavcodec/avcodec.h>
#include <libavformat/avformat.h>
}

#include "formats/ffmpeg/AvPort.h"

namespace {

// The descriptor's long name without its spelled-out part: "FLAC (Free Lossless
// Audio Codec)" is "FLAC".
std::string ShortName(AVCodecID id)
{
    const AVCodecDescriptor* d = avcodec_descriptor_get(id);
    if (!d)
        return {};
    std::string name = d->long_name ? d->long_name : d->name;
    size_t paren = name.find(" (");
    if (paren != std::string::npos && paren > 0)
        name.resize(paren);
    return name;
}

} // namespace

bool AvProbe(const std::string& path, LMediaInfo& info)
{
    av_log_set_level(AV_LOG_QUIET);
    AVFormatContext* format = nullptr;
    // Only ever a file: a name such as "concat:a|b" or "http://..." is not a protocol here.
    const std::string url = "file:" + path;
    if (avformat_open_input(&format, url.c_str(), nullptr, nullptr) < 0)
        return false;
    bool found = false;
    if (avformat_find_stream_info(format, nullptr) >= 0) {
        int stream = av_find_best_stream(format, AVMEDIA_TYPE_AUDIO, -1, -1, nullptr, 0);
        if (stream >= 0) {
            const AVCodecParameters* par = format->streams[stream]->codecpar;
            info.coding = ShortName(par->codec_id);
            const AVCodecDescriptor* d = avcodec_descriptor_get(par->codec_id);
            const bool pcm = par->codec_id >= AV_CODEC_ID_FIRST_AUDIO && par->codec_id < AV_CODEC_ID_ADPCM_IMA_QT;
            if (d && (d->props & AV_CODEC_PROP_LOSSLESS) && !pcm && par->bits_per_raw_sample > 0) {
                info.coding += " " + std::to_string(par->bits_per_raw_sample) + "-bit";
                info.bits = par->bits_per_raw_sample;
            }
            info.channels = par->ch_layout.nb_channels;
            found = !info.coding.empty();
        }
    }
    avformat_close_input(&format);
    return found;
}

std::string AvCodecNameForWavTag(uint16_t tag)
{
    const AVCodecTag* tables[] = {avformat_get_riff_audio_tags(), nullptr};
    AVCodecID id = av_codec_get_id(tables, tag);
    return id == AV_CODEC_ID_NONE ? std::string() : ShortName(id);
}
