#ifndef TOOLBARBUTTON_H
#define TOOLBARBUTTON_H

#include <QPixmap>
#include <QPushButton>

// Picture push button: paints its normal or pressed picture, and an optional caption on top.
// A release anywhere after a press counts as a click.
class ToolbarButton : public QPushButton
{
public:
    explicit ToolbarButton(const QString &text, QWidget *parent = nullptr);
    ~ToolbarButton() override;

    // Sets the size pictures are rendered at (and the button's size on the next setImage).
    void setImageSize(int width, int height);
    QSize imageSize() const { return QSize(m_nImageWidth, m_nImageHeight); }

    // An ".svg" path is rendered at the image size; any other path is loaded as a bitmap.
    void setImage(const QString &path, bool pressed);

    const QPixmap &normalImage() const { return m_NormalImage; }
    const QPixmap &pressedImage() const { return m_PressedImage; }
    bool isImagePressed() const { return m_bPressed; }
    QString caption() const { return m_strText; }

protected:
    void mousePressEvent(QMouseEvent *event) override;
    void mouseReleaseEvent(QMouseEvent *event) override;
    void paintEvent(QPaintEvent *event) override;

private:
    QPixmap m_NormalImage;
    QPixmap m_PressedImage;
    int m_nImageWidth = 70;
    int m_nImageHeight = 62;
    bool m_bPressed = false;
    QString m_strText;
};

#endif // TOOLBARBUTTON_H
