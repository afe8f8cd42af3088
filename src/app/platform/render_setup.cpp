#include "platform/render_setup.h"

#include <QElapsedTimer>
#include <QOffscreenSurface>
#include <QOpenGLContext>
#include <QOpenGLFunctions>
#include <QQuickWindow>
#include <QSGRendererInterface>
#include <optional>
#include <string>

#include "platform/qt_text.h"
#include "platform/trace.h"

namespace pluvik {

namespace {

// GL_RENDERER of a context of its own, made and dropped at once; none when GL cannot start (no GLX, a
// broken driver, QT_XCB_GL_INTEGRATION=none).
std::optional<std::string> probeGlRenderer() {
    QOpenGLContext context;
    if (!context.create()) return std::nullopt;
    QOffscreenSurface surface;
    surface.setFormat(context.format());
    surface.create();
    if (!surface.isValid() || !context.makeCurrent(&surface)) return std::nullopt;
    const GLubyte* renderer = context.functions()->glGetString(GL_RENDERER);
    std::optional<std::string> name;
    if (renderer) name = reinterpret_cast<const char*>(renderer);
    context.doneCurrent();
    return name;
}

}  // namespace

RenderChoice applyRenderPath(Trace& trace) {
    const std::string override = qEnvironmentVariable(kRenderPathVariable).trimmed().toStdString();
    // Forced software needs no GL at all, so it is not started.
    QElapsedTimer probe;
    probe.start();
    const std::optional<std::string> renderer =
        QString::fromStdString(override).compare(QLatin1String("software"), Qt::CaseInsensitive) == 0
            ? std::nullopt
            : probeGlRenderer();
    const RenderChoice choice = chooseRenderPath(renderer, override);
    // On the software scene graph the engine turns its GPU off and composites in software as well;
    // the GL path leaves Qt's default graphics API (and QSG_RHI_BACKEND) alone.
    if (choice.path == RenderPath::Software) QQuickWindow::setGraphicsApi(QSGRendererInterface::Software);
    trace.record("render_path", {{"path", QString::fromLatin1(renderPathName(choice.path))},
                                 {"reason", toQ(choice.reason)},
                                 {"gl_renderer", renderer ? toQ(*renderer) : QString()},
                                 {"override", toQ(override)},
                                 {"probe_ms", probe.elapsed()}});
    return choice;
}

}  // namespace pluvik
