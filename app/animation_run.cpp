// The animation window's files (.vta) and its render: frames into a folder, then a video.
#include "app/animation_keys.h"
#include "app/animation_window.h"
#include "app/app_state.h"
#include "app/core_api.h"
#include "app/file_dialogs.h"
#include "app/file_messages.h"
#include "app/job_progress.h"
#include "app/text.h"
#include "io/file_error.h"
#include "io/replace_file.h"

#include <QCheckBox>
#include <QDir>
#include <QDoubleSpinBox>
#include <QFileDialog>
#include <QFileInfo>
#include <QLabel>
#include <QPushButton>
#include <QSlider>
#include <QSpinBox>
#include <chrono>
#include <future>
#include <optional>

namespace vorticel {
namespace {

constexpr std::chrono::milliseconds kEncodePoll{20};

} // namespace

void AnimationWindow::InstallDialogs() {
    chooseFolder = [this] {
        return QFileDialog::getExistingDirectory(this, Text(kStrFramesFolder));
    };
    chooseFile = [this](bool save) {
        QFileDialog dialog(this, save ? Text(kStrSaveDialogTitle) : QString(), fileName_,
                           DialogFilter(kStrAnimationFilter));
        dialog.setAcceptMode(save ? QFileDialog::AcceptSave : QFileDialog::AcceptOpen);
        dialog.setFileMode(save ? QFileDialog::AnyFile : QFileDialog::ExistingFile);
        dialog.setDefaultSuffix(QStringLiteral("vta"));
        HideTypeColumn(dialog);
        if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty()) {
            return QString();
        }
        return dialog.selectedFiles().first();
    };
}

void AnimationWindow::ShowAnimation(const Animation& animation, const QString& fileName) {
    // Settings first: the thumbnails take the animation's proportions.
    framesBox->setValue(animation.frames);
    turnBox->setValue(animation.turnDegrees);
    fpsBox->setValue(animation.fps);
    widthBox->setValue(animation.width);
    heightBox->setValue(animation.height);
    iterationsBox->setValue(animation.iterations);
    std::vector<AnimationKey> keys;
    for (std::size_t i = 0; i < animation.keys.size(); ++i) {
        AnimationKey key;
        key.recipe = animation.keys[i];
        key.name = QString::fromStdString(KeyName(animation, i));
        key.thumbnail = Thumbnail(key.recipe);
        keys.push_back(std::move(key));
    }
    keys_->Reset(std::move(keys));
    fileName_ = fileName;
    setWindowTitle(fileName.isEmpty() ? Text(kStrAnimationTitle)
                                      : Text(kStrAnimationFile, QFileInfo(fileName).fileName()));
    frameSlider->setValue(1);
    ShowFrame(1);
}

bool AnimationWindow::Open(const QString& fileName) {
    try {
        ShowAnimation(LoadAnimation(fileName.toStdString()), fileName);
        resultLabel->clear();
        return true;
    } catch (const FileError& error) {
        resultLabel->setText(FileErrorMessage(error, fileName));
    } catch (const AnimationError& error) {
        resultLabel->setText(Text(kStrCannotReadAnimation, fileName) + QLatin1Char('\n') +
                             QString::fromUtf8(error.what()));
    }
    return false;
}

bool AnimationWindow::Save(const QString& fileName) {
    try {
        WriteFileReplacing(fileName.toStdString(), FormatAnimation(CurrentAnimation()));
    } catch (const FileError& error) {
        resultLabel->setText(FileErrorMessage(error, fileName));
        return false;
    }
    fileName_ = fileName;
    setWindowTitle(Text(kStrAnimationFile, QFileInfo(fileName).fileName()));
    return true;
}

void AnimationWindow::OnOpen() {
    if (progress->Running()) {
        return;
    }
    const QString fileName = chooseFile(false);
    if (!fileName.isEmpty()) {
        Open(fileName);
    }
}

void AnimationWindow::OnSaveAs() {
    const QString fileName = chooseFile(true);
    if (!fileName.isEmpty()) {
        Save(fileName);
    }
}

void AnimationWindow::OnRender() {
    const QString folder = chooseFolder();
    if (folder.isEmpty()) {
        return;
    }
    // The video beside its frames, named after the folder.
    const QString video =
        videoCheckBox->isChecked()
            ? QDir(folder).filePath(QDir(folder).dirName() + QStringLiteral(".mp4"))
            : QString();
    Render(folder, video);
}

bool AnimationWindow::Render(const QString& folder, const QString& videoFile) {
    if (progress->Running() || App().LongActivity()) {
        return false;
    }
    const Animation animation = CurrentAnimation();
    if (const QString problem = Problem(animation); !problem.isEmpty()) {
        resultLabel->setText(problem);
        return false;
    }
    std::optional<JobScope> job(std::in_place, frame_);
    progress->Start();
    UpdateEnabling();
    resultLabel->clear();
    QStringList failures;
    AnimationHooks hooks;
    double done = 0.0;
    hooks.progress = [this, &animation, &done](std::int32_t frame, double fraction) {
        frameLabel->setText(Text(kStrFrameOf).arg(frame).arg(animation.frames));
        done = fraction;
        progress->Advance(fraction);
    };
    // The core polls this every few milliseconds while a frame renders (progress comes only
    // between frames): the window handles its events here, and stays responsive.
    hooks.stopRequested = [this, &done] {
        progress->Advance(done);
        return progress->StopRequested();
    };
    hooks.frameFailed = [&failures](std::int32_t frame, const std::string& reason) {
        failures.append(Text(kStrFrameFailed).arg(frame).arg(QString::fromStdString(reason)));
    };
    QStringList lines;
    bool whole = false;
    try {
        QDir().mkpath(folder);
        const AnimationRunResult result =
            RenderAnimation(animation, folder.toStdString(), 1, animation.frames, hooks);
        lines.append(
            Text(kStrFramesWritten).arg(result.written).arg(result.skipped).arg(result.failed));
        lines.append(failures);
        if (result.stopped) {
            lines.append(Text(kStrAnimationStopped));
        } else if (!videoFile.isEmpty()) {
            if (!VideoEncoderAvailable()) {
                lines.append(Text(kStrNoVideoEncoder));
            } else {
                // ffmpeg works in a child process: the window waits for it awake.
                progress->stopButton()->setEnabled(false);
                std::future<void> encoding =
                    std::async(std::launch::async, [&animation, &folder, &videoFile] {
                        EncodeVideo(folder.toStdString(), animation, videoFile.toStdString());
                    });
                while (encoding.wait_for(kEncodePoll) != std::future_status::ready) {
                    progress->Advance(1.0);
                }
                encoding.get();
                lines.append(Text(kStrVideoWritten, videoFile));
            }
        }
        whole = !result.stopped && result.failed == 0;
    } catch (const FileError& error) {
        lines.append(FileErrorMessage(error, folder));
    } catch (const AnimationError& error) {
        lines.append(Text(kStrAnimationInvalid, QString::fromUtf8(error.what())));
    } catch (const std::exception& error) {
        lines.append(Text(kStrVideoFailed, QString::fromUtf8(error.what())));
    }
    progress->Finish(!whole);
    resultLabel->setText(lines.join(QLatin1Char('\n')));
    job.reset(); // the program's guards let go first
    UpdateEnabling();
    SchedulePreview();
    return whole;
}

} // namespace vorticel
