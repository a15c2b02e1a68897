#include "registers/OwnFirms.h"

#include "data/DataModule.h"
#include "documents/DocumentEditor.h"
#include "platform/Dialogs.h"
#include "platform/Handlers.h"

#include <QBuffer>
#include <QPainter>

TFillFirm* FillFirm = nullptr;

namespace {
const char* const kBulgarianCaptions[] = {"ДОСТАВЧИК", "АДРЕС", "МОЛ", "Местоиздаване"};
const char* const kEnglishCaptions[] = {"Supplier", "Address", "Resp.Person", "Place of publishment"};
}  // namespace

TFillFirm::TFillFirm(QWidget* parent) : platform::Form(parent) {
    setupUi(this);
    move(219, 154);
    TabControl1->addTab(QStringLiteral("Български език"));
    TabControl1->addTab(QStringLiteral("Английски език"));
    TabControl1->setCurrentIndex(0);
    TabControl1->setDrawBase(false);
    Image1->SetPictureBytes(BuiltInLogo());
    SpeedButton2->setIcon(QIcon(QPixmap::fromImage(Image1->Picture().scaled(20, 20, Qt::KeepAspectRatio,
                                                                              Qt::SmoothTransformation))));

    connect(TabControl1, &QTabBar::currentChanged, this, platform::Handler(this, &TFillFirm::TabControl1Change));
    connect(SpeedButton1, &QToolButton::clicked, this, platform::Handler(this, &TFillFirm::SpeedButton1Click));
    connect(SpeedButton2, &QToolButton::clicked, this, platform::Handler(this, &TFillFirm::SpeedButton2Click));
    connect(OKButton, &QPushButton::clicked, this, platform::Handler(this, &TFillFirm::OKButtonClick));
    connect(CancelButton, &QPushButton::clicked, this, platform::Handler(this, &TFillFirm::CancelButtonClick));
    DBGrid1->OnCellClick = [this](int column) { DBGrid1CellClick(column); };
    SetDefaultButton(OKButton);
    SetCancelButton(CancelButton);
}

void TFillFirm::FormCreate() {
    if (!DataModule1) return;
    data::DataSource* firm = &DataModule1->DataSource2;
    data::DataSource* details = &DataModule1->DataSource3;
    DBGrid1->SetDataSource(firm);
    DBNavigator2->SetDataSource(firm);
    for (platform::DBEdit* e : {DBEdit1, DBEdit2, DBEdit3, DBEdit6, DBEdit12, DBEdit13, DBEdit14, DBEdit15, DBEdit4,
                                DBEdit5, DBEdit7, DBEdit8, DBEdit9})
        e->SetDataSource(firm);
    LOGO->SetDataSource(firm);
    LOGO2->SetDataSource(firm);
    DBGrid3->SetDataSource(details);
    DBNavigator1->SetDataSource(details);
    for (platform::DBEdit* e : {DBEdit10, DBEdit11, DBEdit16}) e->SetDataSource(details);
}

QByteArray TFillFirm::BuiltInLogo() {
    QImage image(105, 91, QImage::Format_RGB32);
    image.fill(Qt::white);
    QPainter p(&image);
    p.setRenderHint(QPainter::Antialiasing);
    p.setPen(Qt::NoPen);
    p.setBrush(QColor(0x1F, 0x4E, 0x8C));
    p.drawRoundedRect(QRectF(6, 6, 93, 79), 12, 12);
    p.setPen(QPen(Qt::white, 7));
    p.setBrush(Qt::NoBrush);
    p.drawEllipse(QRectF(28, 17, 49, 49));
    p.drawLine(QPointF(60, 55), QPointF(78, 74));
    p.end();
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    image.save(&buffer, "PNG");
    return bytes;
}

void TFillFirm::FormShow() {
    if (!DataModule1) return;
    if (DataModule1->firm.Active()) DataModule1->firm.Refresh();
    if (DataModule1->details.Active()) DataModule1->details.Refresh();
}

void TFillFirm::TabControl1Change() {
    const bool english = TabControl1->currentIndex() == 1;
    QLabel* const captions[] = {Label1, Label2, Label3, Label4};
    for (int i = 0; i < 4; ++i)
        captions[i]->setText(QString::fromUtf8(english ? kEnglishCaptions[i] : kBulgarianCaptions[i]));
    // The English set lies over the Bulgarian one; the covered edits are also
    // hidden so that the Tab key cannot reach them unseen.
    for (QWidget* w : std::initializer_list<QWidget*>{DBEdit12, DBEdit13, DBEdit14, DBEdit15, LOGO2})
        w->setVisible(english);
    for (QWidget* w : std::initializer_list<QWidget*>{DBEdit1, DBEdit2, DBEdit3, DBEdit6, LOGO}) w->setVisible(!english);
}

void TFillFirm::SaveWithKey(data::DataSet& ds) {
    data::PostGuard guard(ds);
    ds.Edit();
    ds.FieldByName(QStringLiteral("pnom")).SetAsString(DataModule1->NextRecordKey());
    guard.Post();
}

void TFillFirm::StoreLogo(const QByteArray& picture) {
    data::DataSet& firm = DataModule1->firm;
    data::PostGuard guard(firm);
    firm.Edit();
    firm.FieldByName(QStringLiteral("pnom")).SetAsString(DataModule1->NextRecordKey());
    (TabControl1->currentIndex() == 1 ? LOGO2 : LOGO)->SetPictureBytes(picture);
    guard.Post();
}

void TFillFirm::SpeedButton1Click() {
    platform::FileDialogOptions options;
    options.filter = QStringLiteral("Bitmaps (*.bmp)|*.bmp");
    options.owner = this;
    const std::optional<QString> path = platform::OpenFileDialog(options);
    if (!path) return;
    // The file is read and decoded before the firm is touched: a file that is
    // no picture leaves the record as it was.
    StoreLogo(platform::DBImage::ReadPictureFile(*path));
}

void TFillFirm::SpeedButton2Click() { StoreLogo(Image1->PictureBytes()); }

void TFillFirm::DBGrid1CellClick(int) {
    data::DataSet& firm = DataModule1->firm;
    SaveWithKey(firm);
    if (firm.RecNo() > firm.RecordCount()) firm.SetRecNo(1);
}

void TFillFirm::OKButtonClick() {
    SaveWithKey(DataModule1->details);
    SaveWithKey(DataModule1->firm);
    Close();
}

void TFillFirm::CancelIfHeld(data::DataSet& ds) {
    if (ds.Active() && (!ds.IsEmpty() || ds.GetState() == data::DataSet::State::Insert)) ds.Cancel();
}

void TFillFirm::CancelButtonClick() {
    CancelIfHeld(DataModule1->details);
    CancelIfHeld(DataModule1->firm);
    Close();
}

void TFillFirm::FormClose() {
    if (!DataModule1) return;
    CancelIfHeld(DataModule1->details);
    CancelIfHeld(DataModule1->firm);
}
