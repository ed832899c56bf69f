// The form framework: the application object, components and ownership,
// controls and forms, modal loops, canvas and pictures. The interface by
// which tests drive the program is not part of it: tests include
// platform/vcl/TestDriver.h themselves.
//
// Conventions: the framework's properties are methods of the same name
// (`Label1->Caption()`, `Label1->SetCaption(t)`); events are std::function
// fields (`Button1->OnClick = [this](TObject* s) { Button1Click(s); };`).
//
// As the framework's own umbrella, it brings the run-time library and the
// Windows layer along (rtl.h, win.h), each with its using-directive.
#pragma once

#include "platform/rtl/rtl.h"
#include "platform/win/win.h"

#include "platform/vcl/Object.h"
#include "platform/vcl/Set.h"
#include "platform/vcl/Events.h"
#include "platform/vcl/Color.h"
#include "platform/vcl/Geometry.h"
#include "platform/vcl/Component.h"
#include "platform/vcl/DataModule.h"
#include "platform/vcl/IdleHandler.h"
#include "platform/vcl/Application.h"
#include "platform/vcl/Screen.h"
#include "platform/vcl/Font.h"
#include "platform/vcl/PixelBuffer.h"
#include "platform/vcl/PngWriter.h"
#include "platform/vcl/Canvas.h"
#include "platform/vcl/Graphic.h"
#include "platform/vcl/Bitmap.h"
#include "platform/vcl/Picture.h"
#include "platform/vcl/Control.h"
#include "platform/vcl/GraphicControl.h"
#include "platform/vcl/WinControl.h"
#include "platform/vcl/CustomForm.h"
#include "platform/vcl/Form.h"
#include "platform/vcl/Label.h"
#include "platform/vcl/Button.h"
#include "platform/vcl/Edit.h"
#include "platform/vcl/Panel.h"
#include "platform/vcl/ProgressBar.h"
#include "platform/vcl/Timer.h"
#include "platform/vcl/Image.h"
#include "platform/vcl/CheckBox.h"
#include "platform/vcl/RadioButton.h"
#include "platform/vcl/ScrollBar.h"
#include "platform/vcl/SpinScrollBar.h"
#include "platform/vcl/TrackBar.h"
#include "platform/vcl/MouseInput.h"
#include "platform/vcl/WindowPresenter.h"
#include "platform/vcl/HostInput.h"
#include "platform/vcl/TextRenderer.h"
#include "platform/vcl/DateTimePicker.h"
#include "platform/vcl/TabSheet.h"
#include "platform/vcl/PageControl.h"
#include "platform/vcl/ImageList.h"
#include "platform/vcl/ListView.h"
#include "platform/vcl/FolderDialog.h"
#include "platform/vcl/Resources.h"
#include "platform/vcl/ResourceStream.h"
#include "platform/vcl/JPEGImage.h"
#include "platform/vcl/SavePictureDialog.h"
#include "platform/vcl/PrintDialog.h"
#include "platform/vcl/PrinterBackend.h"
#include "platform/vcl/RecordingPrinter.h"
#include "platform/vcl/Printer.h"

using namespace vcl;
