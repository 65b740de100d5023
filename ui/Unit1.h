// The main window: the ticket, the draw, the result and error fields, and the
// buttons. Its whole content is the form table in Unit1.cpp. A click on
// "Ziehung" runs the draw command over the window's seventeen edits: it clears
// the results, reads Tipp1..Tipp6, and either reports a finding in the error
// fields or writes back the sorted ticket, the draw and the match count,
// whose description then says the result in words ("Kein Gewinn"). After
// each command a screen reader is told what the fields now show. Where
// the platform offers the ticket's grid, a tap on a number there fills or
// empties a ticket field, and after each of the player's inputs the grid shows
// the ticket fields as they now are. Where the platform offers a part for a
// long task, "Wie lange bis …?" plays the ticket on the form on against
// further draws, for the goal chosen, a slice between the screen's frames,
// and shows how far it is and what came beside what the odds let expect.
// Besides that run, the window keeps no state of its own between inputs.
#pragma once

#include "Forms.h"
#include "Simulation.h"

#include <cstdint>
#include <optional>
#include <string>

class TForm1 : public TForm {
public:
    TForm1();

    TButton& Button1{Component<TButton>("Button1")};
    TEdit& EditGewinn{Component<TEdit>("EditGewinn")};
    TEdit& EditZusatz{Component<TEdit>("EditZusatz")};
    TEdit& EditBereich{Component<TEdit>("EditBereich")};
    TEdit& EditDoppelt{Component<TEdit>("EditDoppelt")};
    TBitBtn& BitBtn1{Component<TBitBtn>("BitBtn1")};
    TLabel& Label1{Component<TLabel>("Label1")};
    TLabel& Label2{Component<TLabel>("Label2")};
    TButton& Button3{Component<TButton>("Button3")};
    TButton& Button4{Component<TButton>("Button4")};
    TButton& Button5{Component<TButton>("Button5")};
    TButton& Button6{Component<TButton>("Button6")};
    TButton& Button7{Component<TButton>("Button7")};
    TEdit& Tipp1{Component<TEdit>("Tipp1")};
    TEdit& Tipp2{Component<TEdit>("Tipp2")};
    TEdit& Tipp3{Component<TEdit>("Tipp3")};
    TEdit& Tipp4{Component<TEdit>("Tipp4")};
    TEdit& Tipp5{Component<TEdit>("Tipp5")};
    TEdit& Tipp6{Component<TEdit>("Tipp6")};
    TEdit& Zahl1{Component<TEdit>("Zahl1")};
    TEdit& Zahl2{Component<TEdit>("Zahl2")};
    TEdit& Zahl3{Component<TEdit>("Zahl3")};
    TEdit& Zahl4{Component<TEdit>("Zahl4")};
    TEdit& Zahl5{Component<TEdit>("Zahl5")};
    TEdit& Zahl6{Component<TEdit>("Zahl6")};
    TEdit& Zahl7{Component<TEdit>("Zahl7")};

    void Button1Click();  // "Ziehung"
    void Button6Click();  // "Zufallszahlen"
    void Button3Click();  // "Doppelte Zahlen"
    void Button4Click();  // "Zahl nicht im Tippscheinbereich"
    void Button5Click();  // "Beides"
    void Button7Click();  // "Tippschein löschen!"
    // A number of the ticket's grid, where the platform offers one.
    void NumberGridTap(int number);
    // "Wie lange bis …?", where the platform offers it: the ticket played on
    // for the goal of that index (lotto::playGoals), if it passes the check
    // as "Ziehung" does it; the run's slices; the player's stop.
    void PlayOnStart(int goal);
    bool PlayOnSlice(std::int64_t draws);
    void PlayOnStop();

protected:
    void InputHandled() override;

private:
    // The ticket's grid shows the six ticket fields as they are.
    void ShowNumberGrid();
    // The part shows how far the run is, and the combinations seen beside those expected.
    void ShowPlayOn();
    // The field whose description says the draw's result in words.
    TEdit& Outcome() const;

    std::string m_gridNote;                  // why the last tap changed nothing, until the grid shows it
    std::optional<lotto::Simulation> m_run;  // the ticket played on, the last one started
};

// The window's definition: properties and every control, in creation order.
extern const FormDefinition form1Definition;

extern TForm1* Form1;
