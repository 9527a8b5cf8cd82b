// The Designer plugin as Qt Designer meets it: loaded from its file without a
// display, asked for its widgets, each created on a form with the properties
// its widget box entry gives it, then changed through a property.
#include <QImage>
#include <QPluginLoader>
#include <QWidget>
#include <QXmlStreamReader>
#include <QtUiPlugin/QDesignerCustomWidgetCollectionInterface>
#include <QtUiPlugin/QDesignerCustomWidgetInterface>
#include <gtest/gtest.h>

namespace
{
struct TPluginWidgetCase {
    const char* Name;
    const char* DisplayName; // the text of its widget box entry
    const char* ClassName;
    const char* Property;
    QVariant Value;
    bool ChangesDrawing;
};

std::ostream& operator<<(std::ostream& Stream, const TPluginWidgetCase& Case)
{
    return Stream << Case.Name;
}

QDesignerCustomWidgetCollectionInterface* LoadedCollection()
{
    static QPluginLoader loader(QStringLiteral(LUMIVEX_DESIGNER_PLUGIN));
    if (!loader.isLoaded() && !loader.load())
        ADD_FAILURE() << loader.errorString().toStdString();
    return qobject_cast<QDesignerCustomWidgetCollectionInterface*>(loader.instance());
}

// The widget box entry's display name and the properties a dropped widget
// gets, as Designer reads them from the entry's XML.
struct TWidgetBoxEntry {
    QString DisplayName;
    QList<std::pair<QString, QVariant>> Properties;
};

TWidgetBoxEntry ReadEntry(const QString& DomXml)
{
    TWidgetBoxEntry entry;
    QXmlStreamReader xml(DomXml);
    QString property;
    while (!xml.atEnd()) {
        if (xml.readNext() != QXmlStreamReader::StartElement)
            continue;
        if (xml.name() == QLatin1String("ui"))
            entry.DisplayName = xml.attributes().value(QLatin1String("displayname")).toString();
        else if (xml.name() == QLatin1String("property"))
            property = xml.attributes().value(QLatin1String("name")).toString();
        else if (xml.name() == QLatin1String("string") && !property.isEmpty())
            entry.Properties.append({property, xml.readElementText()});
        else if (xml.name() == QLatin1String("number") && !property.isEmpty())
            entry.Properties.append({property, xml.readElementText().toInt()});
    }
    EXPECT_FALSE(xml.hasError()) << xml.errorString().toStdString();
    return entry;
}

QDesignerCustomWidgetInterface* WidgetNamed(const QString& DisplayName)
{
    QDesignerCustomWidgetCollectionInterface* collection = LoadedCollection();
    if (!collection)
        return nullptr;
    for (QDesignerCustomWidgetInterface* widget : collection->customWidgets())
        if (ReadEntry(widget->domXml()).DisplayName == DisplayName)
            return widget;
    return nullptr;
}

// The widget drawn over white: what a form shows of it.
QImage Drawn(QWidget& Widget)
{
    QImage image(Widget.size(), QImage::Format_ARGB32);
    image.fill(Qt::white);
    Widget.render(&image, QPoint(), QRegion(), QWidget::DrawChildren);
    return image;
}

bool AllWhite(const QImage& Image)
{
    for (int y = 0; y < Image.height(); ++y)
        for (int x = 0; x < Image.width(); ++x)
            if (Image.pixel(x, y) != qRgb(255, 255, 255))
                return false;
    return true;
}

class DesignerPlugin : public testing::TestWithParam<TPluginWidgetCase>
{
};
} // namespace

TEST(DesignerPluginCollection, OffersBothControlsInTheLumivexGroupWithIcons)
{
    QDesignerCustomWidgetCollectionInterface* collection = LoadedCollection();
    ASSERT_NE(collection, nullptr);
    QStringList names;
    for (QDesignerCustomWidgetInterface* widget : collection->customWidgets()) {
        names << ReadEntry(widget->domXml()).DisplayName;
        EXPECT_EQ(widget->group(), QStringLiteral("Lumivex"));
        EXPECT_FALSE(widget->icon().isNull()) << widget->name().toStdString();
        EXPECT_TRUE(widget->includeFile().startsWith(QStringLiteral("lumivex/controls/")));
        EXPECT_FALSE(widget->isContainer());
    }
    names.sort();
    EXPECT_EQ(names, (QStringList{QStringLiteral("Reflection image"), QStringLiteral("Reflection label")}));
}

TEST_P(DesignerPlugin, CreatesTheControlThatDrawsAndTakesTheProperty)
{
    const TPluginWidgetCase& c = GetParam();
    QDesignerCustomWidgetInterface* plugin = WidgetNamed(QString::fromLatin1(c.DisplayName));
    ASSERT_NE(plugin, nullptr);
    plugin->initialize(nullptr);
    EXPECT_TRUE(plugin->isInitialized());

    QWidget form;
    form.resize(400, 300);
    QWidget* widget = plugin->createWidget(&form);
    ASSERT_NE(widget, nullptr);
    EXPECT_EQ(widget->parentWidget(), &form);
    EXPECT_STREQ(widget->metaObject()->className(), c.ClassName);
    EXPECT_EQ(plugin->name(), QString::fromLatin1(c.ClassName));
    for (const auto& [name, value] : ReadEntry(plugin->domXml()).Properties)
        EXPECT_TRUE(widget->setProperty(name.toLatin1().constData(), value)) << name.toStdString();
    ASSERT_FALSE(widget->size().isEmpty());
    const QImage before = Drawn(*widget);
    EXPECT_FALSE(AllWhite(before)) << "a new control shows nothing";

    ASSERT_TRUE(widget->setProperty(c.Property, c.Value));
    EXPECT_EQ(widget->property(c.Property), c.Value);
    const QImage after = Drawn(*widget);
    EXPECT_FALSE(AllWhite(after));
    EXPECT_EQ(after != before, c.ChangesDrawing);
}

INSTANTIATE_TEST_SUITE_P(
    Widgets, DesignerPlugin,
    testing::Values(TPluginWidgetCase{"ImageReflectionSize", "Reflection image", "TOrbReflectionImage",
                                      "ReflectionSize", QVariant(40), false},
                    TPluginWidgetCase{"LabelMarkup", "Reflection label", "TOrbReflectionLabel", "Markup",
                                      QVariant(QStringLiteral("<font size=\"20\">Designer</font>")), true},
                    TPluginWidgetCase{"LabelOpacityStart", "Reflection label", "TOrbReflectionLabel",
                                      "ReflectionOpacityStart", QVariant(255), true}),
    [](const testing::TestParamInfo<TPluginWidgetCase>& Info) { return std::string(Info.param.Name); });
