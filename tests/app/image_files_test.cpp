// Images saved from a view carry the view: opening one gives it back, ready to render.
#include "app/text.h"
#include "attractor/attractor.h"
#include "render/colour.h"
#include "render/png_file.h"
#include "render/renderer.h"
#include "render/solid.h"
#include "tests/app/app_test_support.h"
#include "tests/render/png_test_support.h"

#include <QFile>
#include <QTemporaryDir>

namespace vorticel::testing {
namespace {

using ImageFiles = FrameTest;

TEST_F(ImageFiles, AViewSavedAsPngOpensAgainWhole) {
    QTemporaryDir dir;
    ViewWindow* view = NewView(2, 96, 64, kSolid);
    ASSERT_NE(view, nullptr);
    view->OnSearch();
    ASSERT_EQ(view->State(), ViewState::Rendered);
    auto& solid = dynamic_cast<SolidRenderer&>(*view->GetRenderer());
    solid.SetGamma(3.25f);
    solid.GetCamera().SetZoom(solid.GetCamera().Zoom() * 1.5); // a framing of the user's own
    view->iterationTarget = 123456;
    const ViewSnapshot saved = view->TakeSnapshot();
    const QString path = dir.filePath(QStringLiteral("vue.png"));
    ASSERT_TRUE(frame->SaveImage(*view, path));
    EXPECT_EQ(view->Title(), path);

    ViewWindow* opened = frame->OpenInNewView(path);
    ASSERT_NE(opened, nullptr);
    ASSERT_NE(opened, view);
    const ViewSnapshot back = opened->TakeSnapshot();
    EXPECT_EQ(back.family, saved.family);
    EXPECT_EQ(back.parameters, saved.parameters); // bit for bit
    EXPECT_EQ(back.renderer, kSolid);
    EXPECT_EQ(back.shading, saved.shading);
    EXPECT_EQ(back.width, 96);
    EXPECT_EQ(back.height, 64);
    EXPECT_TRUE(back.camera == saved.camera);
    EXPECT_EQ(back.iterationTarget, 123456);
    EXPECT_EQ(opened->State(), ViewState::Preview); // ready for "Démarrer"

    // "Ouvrir..." of the image into a view of another family turns it into the saved one.
    ViewWindow* other = NewView(0, 64, 48);
    frame->OpenParameterFile(path, other);
    EXPECT_EQ(other->TakeSnapshot().parameters, saved.parameters);
    EXPECT_EQ(other->GetRenderer()->Kind(), kSolid);
    EXPECT_EQ(other->GetRenderer()->Width(), 96);
}

TEST_F(ImageFiles, APngWithoutARecipeOrOfNoRenderableSizeIsRefusedInFrench) {
    QTemporaryDir dir;
    const QString plain = dir.filePath(QStringLiteral("plain.png"));
    WritePng(plain.toStdString(), 4, 1, std::vector<std::uint8_t>(12, 200), {});
    EXPECT_EQ(frame->OpenInNewView(plain), nullptr);
    ASSERT_FALSE(Messages().empty());
    EXPECT_EQ(Messages().back().text,
              Text(kStrCannotOpenFile, plain) + QLatin1Char('\n') + Text(kStrFileNoRecipe));
    EXPECT_TRUE(frame->Views().isEmpty());

    const QString fake = dir.filePath(QStringLiteral("fake.png"));
    QFile file(fake);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.write("[Lorenz]\nA=1\n");
    file.close();
    EXPECT_EQ(frame->OpenInNewView(fake), nullptr);
    EXPECT_EQ(Messages().back().text,
              Text(kStrCannotOpenFile, fake) + QLatin1Char('\n') + Text(kStrFileNotPng));

    // A small file that declares an image no one could render says so, not that it is large.
    const QString huge = dir.filePath(QStringLiteral("huge.png"));
    QFile hugeFile(huge);
    ASSERT_TRUE(hugeFile.open(QIODevice::WriteOnly));
    const std::string bytes = test::PngStart(2147483647, 2147483647) + test::PngChunk("IDAT", "x") +
                              test::PngChunk("IEND", "");
    hugeFile.write(bytes.data(), static_cast<qint64>(bytes.size()));
    hugeFile.close();
    EXPECT_EQ(frame->OpenInNewView(huge), nullptr);
    EXPECT_EQ(Messages().back().text,
              Text(kStrCannotOpenFile, huge) + QLatin1Char('\n') + Text(kStrFileImageTooLarge));
}

} // namespace
} // namespace vorticel::testing
