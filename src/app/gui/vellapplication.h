#pragma once

#include <memory>

class TAboutBox;
class TForm1;
class TForm2;
class TForm3;
class TForm4;
class TForm5;

namespace vell {
class Project;
}

// The project and the program's six windows, created in start-up order and
// living for the whole run; only the main window is shown at start.
//
// Ownership, one way for all: each window is held here and the members go in
// the reverse of their order below, so every window goes before the one
// created before it, and the project goes last of all (the main window's
// design surface, with the drag's ghost outline, goes with the main window,
// before the project it refers to). The settings dialog, the actions dialog
// and the About box have the main window as their Qt parent only so that
// they stay in front of it: they are deleted here before it, which takes
// them out of its children.
class VellApplication
{
public:
    VellApplication();
    ~VellApplication();

    vell::Project &project() const { return *m_project; }
    TForm1 *Form1() const { return m_form1.get(); }
    TForm2 *Form2() const { return m_form2.get(); }
    TForm3 *Form3() const { return m_form3.get(); }
    TForm4 *Form4() const { return m_form4.get(); }
    TForm5 *Form5() const { return m_form5.get(); }
    TAboutBox *AboutBox() const { return m_about.get(); }

private:
    bool m_fontSet;
    std::unique_ptr<vell::Project> m_project;
    std::unique_ptr<TForm1> m_form1;
    std::unique_ptr<TForm2> m_form2;
    std::unique_ptr<TForm3> m_form3;
    std::unique_ptr<TForm4> m_form4;
    std::unique_ptr<TForm5> m_form5;
    std::unique_ptr<TAboutBox> m_about;
};
