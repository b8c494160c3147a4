// The two side parts of the graph window, each built at its designed place
// in the window's client area: the results and view controls on the left,
// the map with its range labels, move buttons and status bar on the right.
// The window that assembles them wires their controls to its handlers.
#pragma once

class QComboBox;
class QLabel;
class QLineEdit;
class QListWidget;
class QPushButton;
class QScrollArea;
class QStatusBar;
class QToolButton;
class QWidget;

namespace qirt {

class TMapAxes;
class TColourBar;

class TMapView;
class TStretcher;

// The left column: the function, the point, the minimum, the counts and
// the method; the axis fields, zoom buttons, ranges and colour count.
struct TResultPanel {
    QLabel *label1, *Label14, *Label2, *Label3, *Label15, *Label16, *Label17, *Label18, *Label19,
        *Label20, *Label21, *Label11, *Label12, *Label13, *Label4;
    // The evidence beside the minimum: the largest gradient component at
    // the point found (caption and value) and how the run ended.
    QLabel *Label22, *Label23, *Label24;
    QListWidget* ListBox1;
    QComboBox *ComboBox1, *ComboBox2;
    QPushButton *Button1, *Button2, *Button3;
    QLineEdit *Edit1, *Edit2, *Edit3, *Edit4, *Edit5;
};

// The scroll box holding the map view, the axis names and range ends, the
// four move buttons and the status bar.
struct TMapPanel {
    QScrollArea* ScrollBox1;
    QWidget* Box; // the scroll box's contents
    TMapView* Image1;
    QLabel *Label5, *Label6, *Label7, *Label8, *Label9, *Label10;
    QLabel* OutsideLegend; // the shading's legend, under the map while it is shaded
    TMapAxes* Axes;        // ticks and their values along the map's edges
    TColourBar* Bar;       // the levels' colours and values beside the map
    QToolButton *BitBtn1, *BitBtn2, *BitBtn3, *BitBtn4;
    QStatusBar* StatusBar1;
};

// Built into `client`; as the client grows the map grows as a square as
// far as both the growth across and down allow, and the left column widens
// by the rest across (the stretcher of the client follows them).
TResultPanel BuildResultPanel(QWidget* client, TStretcher& stretcher);
TMapPanel BuildMapPanel(QWidget* client, TStretcher& stretcher);

// The side of the largest map the scroll box shows whole with its
// surroundings, and never less than 500.
int MapSideFor(const TMapPanel& p);
// Places the map at that side and everything around it, the box growing
// with it. True when the map's canvas changed size.
bool PlaceMapBox(const TMapPanel& p, int side);

} // namespace qirt
