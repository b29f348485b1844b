#include "ReportGolden.h"

#include "FlatOds.h"

#include <QDir>
#include <QFileInfo>

#include <map>

namespace {

std::map<QString, GoldenRunner>& registry()
{
    static std::map<QString, GoldenRunner> runners;
    return runners;
}

} // namespace

bool RegisterGoldenRunner(const QString& name, GoldenRunner runner)
{
    registry()[name] = std::move(runner);
    return true;
}

const GoldenRunner* FindGoldenRunner(const QString& name)
{
    const auto it = registry().find(name);
    return it == registry().end() ? nullptr : &it->second;
}

QStringList GoldenRunnerNames()
{
    QStringList names;
    for (const auto& [name, runner] : registry())
        names.append(name);
    return names;
}

engine::Context GoldenCase::ctx()
{
    engine::Context c;
    c.database = &t.db();
    c.read = &t.read();
    c.write = &t.write();
    c.settings = &settings;
    c.user = user;
    return c;
}

QString GoldenCase::cache()
{
    const QString dir = t.folder() + QStringLiteral("cache/");
    QDir().mkpath(dir);
    return dir;
}

void GoldenCase::useTemplate(const QString& name)
{
    const QString fixtures = QStringLiteral(TARELIA_FIXTURES);
    for (const QString& path : {fixtures + QStringLiteral("/../../printing/templates/samples/") + name + QStringLiteral(".fods"),
                                fixtures + QStringLiteral("/templates/") + name + QStringLiteral(".fods"),
                                folder + name + QStringLiteral(".fods")})
        if (QFileInfo::exists(path)) {
            office.prototype = ReadFlatOds(path);
            return;
        }
    throw std::runtime_error("no flat template named " + name.toStdString());
}
