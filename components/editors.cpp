#include "components/editors.h"

#include "components/carousel_editor.h"
#include "components/link_editors.h"
#include "components/text_editors.h"
#include "components/widget_editors.h"

namespace Plumbrook {

void registerBuiltinEditors()
{
    static bool registered = false;
    if (registered)
        return;
    registered = true;
    registerLinkEditors();
    registerTextEditors();
    registerCarouselEditor();
    registerWidgetEditors();
}

} // namespace Plumbrook
