#pragma once

#include <QString>
#include <QStringView>
#include <QUrl>

// The product's web site. Its host lies under the reserved ".example" domain,
// so the program can never send a request to somebody else's server.
inline constexpr QStringView productWebHost = u"vexlon.example";

// The site's address as the About box writes it: no scheme.
inline QString productSiteText()
{
    using namespace Qt::StringLiterals;
    return productWebHost.toString() + u"/vexlon"_s;
}

// The trigger help page, loaded only when the user asks for it.
inline QUrl triggerHelpAddress()
{
    using namespace Qt::StringLiterals;
    return QUrl(u"http://"_s + productSiteText() + u"/trigger.html"_s);
}
