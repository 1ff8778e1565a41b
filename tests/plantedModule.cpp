// A backend module of the right kind, as someone might plant it: loading it leaves a mark.
#include "platform/wayland/windowSystemPlugin.h"

#include <QFile>

static const bool marked = [] {
    QFile mark(QString::fromLocal8Bit(qgetenv("DESKMEMO_PLANTED_MARK")));
    return mark.open(QIODevice::WriteOnly);
}();

class PlantedModule : public QObject, public platform::WindowSystemPlugin
{
    Q_OBJECT
    Q_PLUGIN_METADATA(IID DESKMEMO_WINDOW_SYSTEM_PLUGIN_IID)
    Q_INTERFACES(platform::WindowSystemPlugin)

public:
    bool offered() override { return marked; }
    std::unique_ptr<platform::WindowSystem> create() override { return nullptr; }
};

#include "plantedModule.moc"
