#include "runner.h"
#include "script.h"
#include "video_export.h"

#include "host/base/kel_memblock.h"
#include "host/sbobject/sb_body.h"
#include "host/sbobject/sb_edit.h"
#include "host/scene/play_scene.h"
#include "host/scene/sample_scene.h"
#include "host/services/live_output.h"
#include "platform/temp_folder.h"

#include <filesystem>
#include <gtest/gtest.h>
#include <sstream>
#include <string>
#include <vector>

#if KEL_HAVE_FFMPEG
extern "C" {
#include <libavcodec/avcodec.h>
#include <libavformat/avformat.h>
#include <libswscale/swscale.h>
}
#endif

namespace {

namespace fs = std::filesystem;

// Points of the output that the sample's first second changes: the Headline fading in, the
// Opening movie's picture and its frame number, and a place where nothing is.
const CPoint kPoints[] = {{360, 460}, {300, 300}, {12, 12}, {20, 30}, {1500, 900}};

using Samples = std::vector<std::vector<DWORD>>; // per frame, the points' colours (no alpha)

std::vector<DWORD> Sample(const CKelMemBlock& block) {
    std::vector<DWORD> colours;
    for (const CPoint& p : kPoints)
        colours.push_back(block.GetPixel(p.x, p.y) & 0x00FFFFFFu);
    return colours;
}

struct Decoded {
    int width = 0;
    int height = 0;
    Samples samples;
};

#if KEL_HAVE_FFMPEG
// Reads every frame of the file back, as 32-bit pixels.
Decoded Decode(const std::string& path) {
    Decoded decoded;
    AVFormatContext* format = nullptr;
    if (avformat_open_input(&format, path.c_str(), nullptr, nullptr) < 0)
        return decoded;
    avformat_find_stream_info(format, nullptr);
    const int index = av_find_best_stream(format, AVMEDIA_TYPE_VIDEO, -1, -1, nullptr, 0);
    const AVCodec* codec =
        index >= 0 ? avcodec_find_decoder(format->streams[index]->codecpar->codec_id) : nullptr;
    AVCodecContext* context = avcodec_alloc_context3(codec);
    avcodec_parameters_to_context(context, format->streams[index]->codecpar);
    avcodec_open2(context, codec, nullptr);
    AVPacket* packet = av_packet_alloc();
    AVFrame* frame = av_frame_alloc();
    SwsContext* scale = nullptr;
    CKelMemBlock block;
    const auto take = [&] {
        while (avcodec_receive_frame(context, frame) == 0) {
            decoded.width = frame->width;
            decoded.height = frame->height;
            block.Init(frame->width, frame->height);
            scale = sws_getCachedContext(
                scale, frame->width, frame->height, static_cast<AVPixelFormat>(frame->format),
                frame->width, frame->height, AV_PIX_FMT_BGR0, SWS_POINT, nullptr, nullptr, nullptr);
            uint8_t* planes[1] = {reinterpret_cast<uint8_t*>(block.GetBits())};
            const int strides[1] = {frame->width * 4};
            sws_scale(scale, frame->data, frame->linesize, 0, frame->height, planes, strides);
            decoded.samples.push_back(Sample(block));
        }
    };
    while (av_read_frame(format, packet) >= 0) {
        if (packet->stream_index == index && avcodec_send_packet(context, packet) >= 0)
            take();
        av_packet_unref(packet);
    }
    avcodec_send_packet(context, nullptr);
    take();
    sws_freeContext(scale);
    av_frame_free(&frame);
    av_packet_free(&packet);
    avcodec_free_context(&context);
    avformat_close_input(&format);
    return decoded;
}
#else
Decoded Decode(const std::string&) {
    return {};
}
#endif

class VideoExportTest : public kel::test::TempFolderTest {
protected:
    void SetUp() override {
        std::string why;
        if (!kel::video::IsExportAvailable(&why))
            GTEST_SKIP() << why;
        TempFolderTest::SetUp();
    }
    // What the live output showed when the sample played frames 0 to `last`.
    Samples Played(DWORD last) {
        auto scene = KelCreateSampleScene();
        scene->GetSBEditObj()->GetCurSBBodyObj()->SetTimeLinePos(0);
        scene->SetStopAtFrame(last);
        Samples shown;
        CKelDrvSys::SetFieldClock(
            [&](int) { shown.push_back(Sample(*CKelDrvGFB::GetBlockOut())); });
        scene->PlayStoryBoard(nullptr);
        CKelDrvSys::SetFieldClock({});
        return shown;
    }
    std::vector<std::string> FilesInFolder() const {
        std::vector<std::string> names;
        for (const auto& entry : fs::directory_iterator(m_dir))
            names.push_back(entry.path().filename().string());
        return names;
    }
};

TEST_F(VideoExportTest, AnFfv1FileDecodesToThePlayedFrames) {
    const std::string path = Path("news.mkv");
    auto scene = KelCreateSampleScene();
    std::vector<DWORD> told;
    const kel::video::ExportResult result =
        kel::video::ExportStoryboard(*scene, path, 0, 30, [&](DWORD written, DWORD total) {
            told.push_back(written);
            EXPECT_EQ(total, 31u);
            return true;
        });
    ASSERT_TRUE(result.done) << result.error;
    EXPECT_EQ(result.frames, 31u);
    EXPECT_EQ(told.size(), 31u);
    EXPECT_EQ(FilesInFolder(), std::vector<std::string>{"news.mkv"});

    const Decoded decoded = Decode(path);
    EXPECT_EQ(decoded.width, 1920);
    EXPECT_EQ(decoded.height, 1080);
    const Samples played = Played(30);
    ASSERT_EQ(decoded.samples.size(), 31u);
    ASSERT_EQ(played.size(), 31u);
    for (std::size_t i = 0; i < played.size(); ++i)
        EXPECT_EQ(decoded.samples[i], played[i]) << "frame " << i;
    // The Headline fades in: its frames differ.
    EXPECT_NE(decoded.samples[2][0], decoded.samples[3][0]);
}

TEST_F(VideoExportTest, AnH264FileHasThePlayedFramesAndTheirSize) {
    if (!kel::video::IsFormatAvailable(kel::video::VideoFormat::H264Mp4))
        GTEST_SKIP() << "the FFmpeg libraries have no H.264 encoder";
    const std::string path = Path("news.mp4");
    auto scene = KelCreateSampleScene();
    const kel::video::ExportResult result = kel::video::ExportStoryboard(*scene, path, 40, 49, {});
    ASSERT_TRUE(result.done) << result.error;
    const Decoded decoded = Decode(path);
    ASSERT_EQ(decoded.samples.size(), 10u);
    EXPECT_EQ(decoded.width, 1920);
    EXPECT_EQ(decoded.height, 1080);
    // Lossy: the colour is near, not equal. Nothing is on the air at the last point.
    const DWORD movie = Played(45)[45][1];
    const DWORD got = decoded.samples[5][1];
    for (int shift : {0, 8, 16})
        EXPECT_NEAR(static_cast<int>((got >> shift) & 0xFF),
                    static_cast<int>((movie >> shift) & 0xFF), 24);
    EXPECT_LT(decoded.samples[5][4] & 0xFF, 24u);
}

TEST_F(VideoExportTest, ACancelOrAFailureLeavesNothingHalfWritten) {
    const std::string path = Path("kept.mkv");
    Put(path, "an earlier file");
    auto scene = KelCreateSampleScene();
    const kel::video::ExportResult cancelled = kel::video::ExportStoryboard(
        *scene, path, 0, 100, [](DWORD written, DWORD) { return written < 5; });
    EXPECT_FALSE(cancelled.done);
    EXPECT_TRUE(cancelled.cancelled);
    EXPECT_EQ(FilesInFolder(), std::vector<std::string>{"kept.mkv"});
    EXPECT_EQ(Contents(path), "an earlier file");

    // A folder that does not exist, a range backwards: refused with a reason.
    kel::video::ExportResult failed =
        kel::video::ExportStoryboard(*scene, Path("no/such.mkv"), 0, 5, {});
    EXPECT_FALSE(failed.done);
    EXPECT_FALSE(failed.error.empty());
    failed = kel::video::ExportStoryboard(*scene, path, 9, 3, {});
    EXPECT_FALSE(failed.done);
    EXPECT_EQ(FilesInFolder(), std::vector<std::string>{"kept.mkv"});
}

TEST_F(VideoExportTest, TheRunnerExportsTheStoryboardOrARangeOfIt) {
    std::ostringstream out;
    kel::script::Runner runner(out);
    runner.Execute(kel::script::ParseLine("sample", 1));
    const std::string path = Path("range.mkv");
    runner.Execute(kel::script::ParseLine("export \"" + path + "\" 10 19", 2));
    EXPECT_EQ(Decode(path).samples.size(), 10u);
    EXPECT_THROW(runner.Execute(kel::script::ParseLine("export " + path + " 10", 3)),
                 kel::script::UsageError);
}

} // namespace
