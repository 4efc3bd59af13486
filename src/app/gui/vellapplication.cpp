#include "app/gui/vellapplication.h"

#include "actions/gui/tform5.h"
#include "app/gui/taboutbox.h"
#include "app/gui/tform1.h"
#include "codegen/gui/tform4.h"
#include "common/labelfont.h"
#include "project/project.h"
#include "settings/gui/tform2.h"
#include "usercode/gui/tform3.h"

#include <QApplication>

namespace {

// Every window draws its texts in the bundled font, so they look the same on
// every machine (and fit the fixed layouts).
bool useBundledFont()
{
    QApplication::setFont(vell::LabelFont());
    return true;
}

} // namespace

VellApplication::VellApplication()
    : m_fontSet(useBundledFont()), m_project(std::make_unique<vell::Project>()),
      m_form1(std::make_unique<TForm1>(*m_project)),
      m_form2(std::make_unique<TForm2>(*m_project, m_form1.get())),
      m_form3(std::make_unique<TForm3>(*m_project)), m_form4(std::make_unique<TForm4>()),
      m_form5(std::make_unique<TForm5>(*m_project, m_form1.get())),
      m_about(std::make_unique<TAboutBox>(m_form1.get()))
{
    m_form2->setUserCodeWindow(m_form3.get());
    m_form1->setWindows(m_form2.get(), m_form3.get(), m_form4.get(), m_form5.get(), m_about.get());
}

VellApplication::~VellApplication() = default;
