#include "toolkit/widgets/register_widgets.h"

#include "toolkit/widgets/button.h"
#include "toolkit/widgets/color_dialog.h"
#include "toolkit/widgets/edit.h"
#include "toolkit/widgets/font_dialog.h"
#include "toolkit/widgets/label.h"
#include "toolkit/widgets/open_dialog.h"
#include "toolkit/widgets/page_control.h"
#include "toolkit/widgets/panel.h"
#include "toolkit/widgets/save_dialog.h"
#include "toolkit/widgets/tab_sheet.h"
#include "toolkit/widgets/track_bar.h"
#include "toolkit/widgets/widget_class_registry.h"

void RegisterToolkitWidgets()
{
    RegisterWidgetClass<TPanel>();
    RegisterWidgetClass<TLabel>();
    RegisterWidgetClass<TButton>();
    RegisterWidgetClass<TTrackBar>();
    RegisterWidgetClass<TPageControl>();
    RegisterWidgetClass<TTabSheet>();
    RegisterWidgetClass<TEdit>();
    RegisterWidgetClass<TOpenDialog>();
    RegisterWidgetClass<TSaveDialog>();
    RegisterWidgetClass<TFontDialog>();
    RegisterWidgetClass<TColorDialog>();
}
