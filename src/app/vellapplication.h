#pragma once

#include <memory>

class TAboutBox;
class TForm1;
class TForm2;
class TForm3;
class TForm4;
class TForm5;

// The program's six windows, created in start-up order and living for the
// whole run. Only the main window is shown at start.
class VellApplication
{
public:
    VellApplication();
    ~VellApplication();

    TForm1 *Form1() const { return m_form1.get(); }
    TForm2 *Form2() const { return m_form2.get(); }
    TForm3 *Form3() const { return m_form3.get(); }
    TForm4 *Form4() const { return m_form4.get(); }
    TForm5 *Form5() const { return m_form5.get(); }
    TAboutBox *AboutBox() const { return m_about.get(); }

private:
    bool m_fontSet;
    std::unique_ptr<TForm1> m_form1;
    std::unique_ptr<TForm2> m_form2;
    std::unique_ptr<TForm3> m_form3;
    std::unique_ptr<TForm4> m_form4;
    std::unique_ptr<TForm5> m_form5;
    std::unique_ptr<TAboutBox> m_about;
};
