#include "spin_export.h"

#include <algorithm>
#include <cstdio>
#include <optional>
#include <stdexcept>
#include <thread>

#include "ffmpeg_process.h"
#ifdef ZENTRIVO_FINISH
#include "finished_frames.h"
#endif
#include "frame_list.h"
#include "frame_pipeline.h"
#include "image_resize.h"
#include "jpeg_file.h"
#include "spin_output.h"
#include "viewer_page.h"
#include "webp_animation.h"
#include "webp_parts.h"

namespace zentrivo {

namespace fs = std::filesystem;

namespace {

constexpr int kFrameQuality = 85;

struct Plan {
    std::vector<fs::path> frames;
    fs::path ffmpeg;
};

SpinResult Refused(const std::string& why) {
    SpinResult result;
    result.status = SpinStatus::kBadRequest;
    result.message = why;
    return result;
}

std::string Quoted(const fs::path& path) {
    return "\"" + path.string() + "\"";
}

// What can be known wrong before anything is written; empty when all is well.
std::string MakePlan(const SpinRequest& request, Plan& plan) {
    std::string why = CheckSpinRequest(request);
    if (!why.empty()) {
        return why;
    }
    std::error_code error;
    if (!fs::is_directory(request.source, error)) {
        return "The source folder " + Quoted(request.source) + " does not exist.";
    }
    std::vector<fs::path> photos;
    try {
        photos = ListTurnPhotos(request.source);
    } catch (const fs::filesystem_error& e) {
        return "The source folder " + Quoted(request.source) +
               " could not be read: " + e.code().message() + ".";
    }
    if (photos.empty()) {
        return "There are no JPEG photos in " + Quoted(request.source) + ".";
    }
    plan.frames = ChooseFrames(photos, request.frames, request.reverse, why);
    if (!why.empty()) {
        return why;
    }
    const auto frameCount = static_cast<long long>(plan.frames.size());
    if (request.turnMilliseconds < frameCount * kShortestFrameMilliseconds) {
        char seconds[32];
        std::snprintf(seconds, sizeof seconds, "%.2f",
                      static_cast<double>(frameCount * kShortestFrameMilliseconds) / 1000);
        return "A turn of " + std::to_string(frameCount) + " frames must take at least " + seconds +
               " seconds.";
    }
    if (request.formats.mp4) {
        const auto found = FindProgram(request.ffmpeg);
        if (!found) {
            return kNoFfmpegText;
        }
        plan.ffmpeg = *found;
    }
    const fs::path& plate = request.finish.plate;
    if (!plate.empty() && !fs::is_regular_file(plate, error)) {
        return "The plate " + Quoted(plate) + " does not exist.";
    }
    return CheckTarget(request.source, request.target, request.finish.stills);
}

class Exporter {
public:
    Exporter(const SpinRequest& request, const SpinProgressFunction& progress, Plan plan)
        : request_(request), progress_(progress), plan_(std::move(plan)) {}

    SpinResult Run();

private:
    bool Report(int done, const std::string& stage) {
        return !progress_ ||
               progress_(SpinProgress{done, static_cast<int>(plan_.frames.size()), stage});
    }
    int Threads() const {
        return request_.threads > 0
                   ? request_.threads
                   : static_cast<int>(std::max(1U, std::thread::hardware_concurrency()));
    }
    // Finished frames come in at `work` and go out at `size`; without
    // finishing the two are the same.
    void MakeFrames(StagedOutput& out, JpegSize shape, PixelSize work, PixelSize size,
                    SpinResult& result);
    FramePipeline::Transform Finishing(StagedOutput& out);
#ifdef ZENTRIVO_FINISH
    // The folder the finished stills are written in, made now; none unless
    // they are wanted.
    std::filesystem::path StillsFolder(StagedOutput& out) const;
#endif
    bool SurveyFrames(StagedOutput& out, JpegSize shape, SpinResult& result);

    const SpinRequest& request_;
    const SpinProgressFunction& progress_;
    Plan plan_;
#ifdef ZENTRIVO_FINISH
    std::optional<FrameFinisher> finisher_;
#endif
};

#ifdef ZENTRIVO_FINISH
fs::path Exporter::StillsFolder(StagedOutput& out) const {
    if (!request_.finish.stills) {
        return {};
    }
    const fs::path stills = out.Path(kStillsFolderName);
    fs::create_directory(stills);
    return stills;
}
#endif

FramePipeline::Transform Exporter::Finishing([[maybe_unused]] StagedOutput& out) {
#ifdef ZENTRIVO_FINISH
    if (finisher_) {
        return [this, stills = StillsFolder(out)](std::size_t index, RgbImage frame) {
            return finisher_->Finish(index, frame, stills);
        };
    }
#endif
    return {};
}

// The first of spin framing's two passes; true when the frames may be made.
bool Exporter::SurveyFrames([[maybe_unused]] StagedOutput& out, [[maybe_unused]] JpegSize shape,
                            SpinResult& result) {
#ifdef ZENTRIVO_FINISH
    if (finisher_ && finisher_->NeedsSurvey()) {
        if (finisher_->FinishesInSurvey()) {
            // Hidden in the staging folder, so it goes with it.
            const fs::path kept = out.Path(".finished");
            fs::create_directory(kept);
            finisher_->KeepIn(kept);
        }
        const std::string stage = "Finding the product";
        FramePipeline survey(
            plan_.frames, shape, finisher_->SurveySize(), Threads(), {},
            [this](std::size_t index, RgbImage frame) {
                return finisher_->Survey(index, std::move(frame));
            },
            {}, finisher_->FinishesInSurvey());
        for (int done = 0; done <= static_cast<int>(plan_.frames.size()); ++done) {
            if (done > 0 && !survey.Next()) {
                if (const std::exception_ptr failure = survey.Failure()) {
                    std::rethrow_exception(failure);
                }
                throw std::runtime_error("The frames could not be surveyed.");
            }
            if (!Report(done, stage)) {
                result.status = SpinStatus::kCancelled;
                return false;
            }
        }
        finisher_->PlanFraming();
    }
#endif
    (void)result;
    return true;
}

void Exporter::MakeFrames(StagedOutput& out, JpegSize shape, PixelSize work, PixelSize size,
                          SpinResult& result) {
    const int count = static_cast<int>(plan_.frames.size());
    // Frames finished in the first pass take little to make in the second,
    // which would leave the animation encoder alone on one core: their
    // WebP frames are encoded on threads of their own.
    bool finishedBefore = false;
#ifdef ZENTRIVO_FINISH
    finishedBefore = finisher_ && finisher_->FinishesInSurvey();
#endif
    std::optional<WebpAnimation> webp;
    std::optional<WebpPartsAnimation> webpParts;
    if (request_.formats.webp) {
        if (finishedBefore) {
            webpParts.emplace(size.width, size.height, request_.turnMilliseconds, Threads());
        } else {
            webp.emplace(size.width, size.height, count, request_.turnMilliseconds);
        }
    }
    std::optional<VideoProcess> video;
    if (request_.formats.mp4) {
        video.emplace(plan_.ffmpeg, size.width, size.height, count, request_.turnMilliseconds,
                      out.Path(kVideoName), out.Path("ffmpeg.log"));
    }
    FramePipeline::EachFrame writeFrame;
    if (request_.formats.html) {
        const fs::path folder = out.Path(kFramesFolderName);
        fs::create_directory(folder);
        writeFrame = [folder](std::size_t index, const RgbImage& frame) {
            WriteJpeg(frame, folder / (std::to_string(index + 1) + ".jpg"), kFrameQuality);
        };
    }
    PixelRect part;
#ifdef ZENTRIVO_FINISH
    if (finisher_) {
        part = finisher_->FramedPart();
    }
#endif
    std::optional<FramePipeline> made;
#ifdef ZENTRIVO_FINISH
    if (finishedBefore) {
        made.emplace(
            plan_.frames.size(), Threads(),
            [this, stills = StillsFolder(out)](std::size_t index) {
                return finisher_->FinishKept(index, stills);
            },
            writeFrame);
    }
#endif
    if (!made) {
        made.emplace(plan_.frames, shape, work, Threads(), writeFrame, Finishing(out), part);
    }
    FramePipeline& pipeline = *made;
    if (!Report(0, "Making the frames")) {
        result.status = SpinStatus::kCancelled;
        return;
    }
    for (int done = 1; done <= count; ++done) {
        std::optional<RgbImage> frame = pipeline.Next();
        if (!frame) {
            if (const std::exception_ptr failure = pipeline.Failure()) {
                std::rethrow_exception(failure);
            }
            throw std::runtime_error("The frames could not be made.");
        }
        if (webp) {
            webp->Add(*frame);
        }
        if (webpParts) {
            webpParts->Add(*frame);
        }
        if (video) {
            video->Add(*frame);
        }
        if (!Report(done, "Making the frames")) {
            result.status = SpinStatus::kCancelled;
            return;
        }
    }
    if (webp) {
        Report(count, "Finishing the WebP animation");
        webp->Save(out.Path(kWebpName));
    } else if (webpParts) {
        Report(count, "Finishing the WebP animation");
        webpParts->Save(out.Path(kWebpName));
    }
    if (video) {
        Report(count, "Finishing the MP4 video");
        video->Finish();
    }
    result.status = SpinStatus::kDone;
}

SpinResult Exporter::Run() {
    SpinResult result;
    result.frames = static_cast<int>(plan_.frames.size());
    // Known outside the try, so that a failed write is told by its place in
    // the target, never by the hidden folder the export is made in.
    std::optional<StagedOutput> out;
    try {
        const JpegSize first = ReadJpegSize(plan_.frames.front());
        PixelSize size =
            FitLongEdge(first.UprightWidth(), first.UprightHeight(), request_.longEdge);
        PixelSize work = size;
#ifdef ZENTRIVO_FINISH
        if (request_.finish.Any()) {
            finisher_.emplace(request_, plan_.frames.size(), first);
            size = finisher_->OutputSize();
            work = finisher_->WorkSize();
        }
#endif
        result.width = size.width;
        result.height = size.height;

        out.emplace(request_.target);
        if (!SurveyFrames(*out, first, result)) {
            return result;
        }
        MakeFrames(*out, first, work, size, result);
        if (result.status != SpinStatus::kDone) {
            return result;
        }
#ifdef ZENTRIVO_FINISH
        if (finisher_) {
            result.doubts = finisher_->Doubts(plan_.frames);
        }
#endif
        std::vector<std::string> names;
        if (request_.formats.html) {
            WriteWholeFile(out->Path(kViewerScriptName), std::string(ViewerScript()));
            ViewerSettings page;
            page.title = request_.source.filename().string();
            if (page.title.empty()) {
                page.title = request_.source.parent_path().filename().string();
            }
            page.title += " \xe2\x80\x93 360\xc2\xb0 view";
            page.frames = result.frames;
            page.width = size.width;
            page.height = size.height;
            page.turnMilliseconds = request_.turnMilliseconds;
            WriteWholeFile(out->Path(kViewerPageName), ViewerPage(page));
            // The page last: a viewer is there once its page is.
            names = {kFramesFolderName, kViewerScriptName, kViewerPageName};
        }
        if (request_.formats.webp) {
            names.push_back(kWebpName);
        }
        if (request_.formats.mp4) {
            names.push_back(kVideoName);
        }
        if (request_.finish.stills) {
            names.push_back(kStillsFolderName);
        }
        result.written = out->Publish(names);
    } catch (const fs::filesystem_error& e) {
        result.status = SpinStatus::kFailed;
        const fs::path place = out ? out->Shown(e.path1(), request_.target) : e.path1();
        result.message =
            "The export could not write " + Quoted(place) + ": " + e.code().message() + ".";
    } catch (const std::exception& e) {
        result.status = SpinStatus::kFailed;
        result.message = e.what();
    }
    return result;
}

}  // namespace

SpinResult ExportSpin(const SpinRequest& request, const SpinProgressFunction& progress) {
    Plan plan;
    const std::string why = MakePlan(request, plan);
    if (!why.empty()) {
        return Refused(why);
    }
    return Exporter(request, progress, std::move(plan)).Run();
}

}  // namespace zentrivo
