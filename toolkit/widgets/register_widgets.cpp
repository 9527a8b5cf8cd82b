#include "toolkit/widgets/register_widgets.h"

#include "toolkit/class_registry.h"
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

void RegisterToolkitWidgets()
{
    RegisterLayoutClass<TPanel>();
    RegisterLayoutClass<TLabel>();
    RegisterLayoutClass<TButton>();
    RegisterLayoutClass<TTrackBar>();
    RegisterLayoutClass<TPageControl>();
    RegisterLayoutClass<TTabSheet>();
    RegisterLayoutClass<TEdit>();
    RegisterLayoutClass<TOpenDialog>();
    RegisterLayoutClass<TSaveDialog>();
    RegisterLayoutClass<TFontDialog>();
    RegisterLayoutClass<TColorDialog>();
}
