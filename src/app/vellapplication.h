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
// living for the whole run. Only the main window is shown at start. The
// settings dialog, the actions dialog and the About box belong to the main
// window (they stay in front of it); the other windows stand alone.
class VellApplication
{
public:
    VellApplication();
    ~VellApplication();

    vell::Project &project() const { return *m_project; }
    TForm1 *Form1() const { return m_form1.get(); }
    TForm2 *Form2() const { return m_form2; }
    TForm3 *Form3() const { return m_form3.get(); }
    TForm4 *Form4() const { return m_form4.get(); }
    TForm5 *Form5() const { return m_form5; }
    TAboutBox *AboutBox() const { return m_about; }

private:
    bool m_fontSet;
    // Declared first, so that it outlives every window showing it.
    std::unique_ptr<vell::Project> m_project;
    std::unique_ptr<TForm1> m_form1;
    TForm2 *m_form2;
    std::unique_ptr<TForm3> m_form3;
    std::unique_ptr<TForm4> m_form4;
    TForm5 *m_form5;
    TAboutBox *m_about;
};
