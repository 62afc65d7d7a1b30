#include "shell/RendererChoice.hpp"

#include <gtest/gtest.h>

namespace Selvor {
namespace {

using Renderer = RendererChoice::Renderer;

struct ChoiceCase {
    const char* name;
    RendererChoice::Inputs inputs;
    Renderer expected;
    // A word the logged reason must carry.
    const char* reasonNames;
};

class RendererChoiceTest : public ::testing::TestWithParam<ChoiceCase> {};

TEST_P(RendererChoiceTest, decide_givesRendererAndReason) {
    const ChoiceCase& c = GetParam();
    const RendererChoice choice = RendererChoice::decide(c.inputs);
    EXPECT_EQ(choice.renderer, c.expected) << c.name;
    EXPECT_TRUE(choice.reason.contains(QString::fromUtf8(c.reasonNames)))
        << c.name << ": " << choice.reason.toStdString();
}

const QStringList gpu{QStringLiteral("i915")};
const QStringList none;

INSTANTIATE_TEST_SUITE_P(
    Table, RendererChoiceTest,
    ::testing::Values(
        ChoiceCase{"no render node", {{}, {}, false, none}, Renderer::software, "no GPU"},
        ChoiceCase{"GPU", {{}, {}, false, gpu}, Renderer::hardware, "i915"},
        ChoiceCase{"only a virtual GEM node",
                   {{}, {}, false, {QStringLiteral("vgem")}},
                   Renderer::software,
                   "vgem"},
        ChoiceCase{"a GPU beside a virtual node",
                   {{}, {}, false, {QStringLiteral("vgem"), QStringLiteral("amdgpu")}},
                   Renderer::hardware,
                   "amdgpu"},
        ChoiceCase{
            "driver unreadable", {{}, {}, false, {QString()}}, Renderer::hardware, "unknown"},
        ChoiceCase{"Mesa told software", {{}, {}, true, gpu}, Renderer::software, "Mesa"},
        ChoiceCase{"forced software",
                   {{}, u"software"_qs, false, gpu},
                   Renderer::software,
                   "SELVOR_RENDERER"},
        ChoiceCase{
            "forced opengl", {{}, u"opengl"_qs, true, none}, Renderer::hardware, "SELVOR_RENDERER"},
        ChoiceCase{
            "unknown override", {{}, u"vulkan"_qs, false, none}, Renderer::software, "vulkan"},
        ChoiceCase{"Qt's backend named",
                   {u"software"_qs, u"opengl"_qs, false, gpu},
                   Renderer::qtChooses,
                   "software"},
        ChoiceCase{"Qt's backend beats no GPU",
                   {u"rhi"_qs, {}, false, none},
                   Renderer::qtChooses,
                   "rhi"}));

} // namespace
} // namespace Selvor
