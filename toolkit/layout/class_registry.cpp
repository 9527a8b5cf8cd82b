#include "toolkit/layout/class_registry.h"

#include <QHash>
#include <QMutex>

namespace
{
struct Registry {
    QMutex Lock;
    QHash<QString, TComponentFactory> Factories;
};

Registry& TheRegistry()
{
    static Registry registry;
    return registry;
}
} // namespace

void RegisterLayoutClass(const QString& ClassName, TComponentFactory Factory)
{
    Registry& registry = TheRegistry();
    QMutexLocker locker(&registry.Lock);
    registry.Factories.insert(ClassName, std::move(Factory));
}

bool IsLayoutClassRegistered(const QString& ClassName)
{
    Registry& registry = TheRegistry();
    QMutexLocker locker(&registry.Lock);
    return registry.Factories.contains(ClassName);
}

QObject* CreateLayoutComponent(const QString& ClassName, QObject* Parent)
{
    TComponentFactory factory;
    {
        Registry& registry = TheRegistry();
        QMutexLocker locker(&registry.Lock);
        auto found = registry.Factories.constFind(ClassName);
        if (found == registry.Factories.constEnd())
            return nullptr;
        factory = *found;
    }
    return factory(Parent);
}
