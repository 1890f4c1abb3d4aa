object DemoForm: TDemoForm
  Left = 120
  Top = 80
  BorderStyle = bsSingle
  Caption = 'Демонстрация ''VCL'' '#8212' форма'
  ClientHeight = 470
  ClientWidth = 640
  Color = $00F0F0F0
  Font.Charset = RUSSIAN_CHARSET
  Font.Color = clWindowText
  Font.Height = -12
  Font.Name = 'DejaVu Sans'
  Font.Style = []
  Menu = MainMenu1
  Position = poScreenCenter
  ShowHint = True
  OnClose = FormClose
  OnCloseQuery = FormCloseQuery
  OnCreate = FormCreate
  PixelsPerInch = 96
  TextHeight = 14
  object ToolBar1: TToolBar
    Left = 0
    Top = 0
    Width = 640
    Height = 30
    ButtonHeight = 26
    ShowCaptions = True
    object ToolButtonTimer: TToolButton
      Left = 0
      Top = 0
      Caption = 'Таймер'
      Hint = 'Запустить или остановить таймер'
      Style = tbsCheck
      OnClick = ToolButtonTimerClick
    end
    object ToolButtonSep: TToolButton
      Left = 60
      Top = 0
      Width = 8
      Style = tbsSeparator
    end
    object SBPicture: TSpeedButton
      Left = 70
      Top = 2
      Width = 26
      Height = 26
      Hint = 'Картинка'
      Glyph.Resource = 'demo_picture.jpg'
      OnClick = SBPictureClick
    end
  end
  object PageControl1: TPageControl
    Left = 8
    Top = 38
    Width = 400
    Height = 300
    ActivePage = TabSheetInput
    object TabSheetInput: TTabSheet
      Caption = 'Поля ввода'
      object LabelName: TLabel
        Left = 8
        Top = 12
        Width = 80
        Height = 14
        Caption = '&Имя:'
        FocusControl = EditName
      end
      object EditName: TEdit
        Left = 96
        Top = 8
        Width = 160
        Height = 22
        Hint = 'Имя латиницей, не больше 8 букв'
        CharCase = ecUpperCase
        MaxLength = 8
        TabOrder = 0
        Text = 'ivanov'
        OnChange = EditNameChange
      end
      object LabelPort: TLabel
        Left = 8
        Top = 44
        Width = 80
        Height = 14
        Caption = 'Порт:'
      end
      object ComboPort: TComboBox
        Left = 96
        Top = 40
        Width = 160
        Height = 22
        Style = csDropDownList
        Sorted = True
        ItemIndex = 0
        Items.Strings = (
          'COM3'
          'COM10'
          'COM2')
      end
      object LabelCommand: TLabel
        Left = 8
        Top = 76
        Width = 80
        Height = 14
        Caption = 'Команда:'
      end
      object ComboCommand: TComboBox
        Left = 96
        Top = 72
        Width = 200
        Height = 22
        Text = 'AT+CSQ'
        Items.Strings = (
          'ATE0'
          'AT+CSQ'
          'ATD "+70000000000";')
      end
      object CheckConfirm: TCheckBox
        Left = 8
        Top = 104
        Width = 250
        Height = 18
        Caption = 'Подтверждать действия'
        Checked = True
      end
      object LabelCount: TLabel
        Left = 8
        Top = 136
        Width = 80
        Height = 14
        Caption = 'Число:'
      end
      object SpinCount: TCSpinEdit
        Left = 96
        Top = 132
        Width = 60
        Height = 22
        Hint = 'От 1 до 3'
        MaxValue = 3
        MinValue = 1
        Value = 1
      end
      object TrackInterval: TTrackBar
        Left = 8
        Top = 164
        Width = 250
        Height = 36
        Hint = 'Интервал, кратный 5'
        LineSize = 5
        Max = 100
        Min = 5
        PageSize = 5
        Frequency = 5
        Position = 5
        TickMarks = tmBoth
        OnChange = TrackIntervalChange
      end
      object LabelInterval: TLabel
        Left = 264
        Top = 174
        Width = 60
        Height = 14
        Caption = '5'
      end
      object ButtonApply: TButton
        Left = 8
        Top = 216
        Width = 120
        Height = 28
        Caption = 'Применить'
        Default = True
        TabOrder = 5
        OnClick = ButtonApplyClick
      end
    end
    object TabSheetGrid: TTabSheet
      Caption = 'Таблица'
      object StringGrid1: TStringGrid
        Left = 8
        Top = 8
        Width = 376
        Height = 250
        ColCount = 3
        DefaultRowHeight = 20
        RowCount = 6
        ColWidths = (
          40
          120
          120)
        Options = [goFixedVertLine, goFixedHorzLine, goVertLine, goHorzLine, goEditing]
      end
    end
    object TabSheetLog: TTabSheet
      Caption = 'Журнал'
      object Memo1: TMemo
        Left = 8
        Top = 8
        Width = 376
        Height = 110
        Lines.Strings = (
          'Первая строка'
          'Вторая строка')
        PopupMenu = PopupMenu1
        ScrollBars = ssVertical
      end
      object RichEdit1: TRichEdit
        Left = 8
        Top = 126
        Width = 376
        Height = 132
        Font.Charset = RUSSIAN_CHARSET
        Font.Color = clNavy
        Font.Height = -13
        Font.Name = 'Courier New'
        Font.Pitch = fpFixed
        Font.Style = []
        ParentFont = False
        ScrollBars = ssVertical
      end
    end
  end
  object GroupMode: TGroupBox
    Left = 416
    Top = 38
    Width = 216
    Height = 300
    Caption = 'Режим'
    object RadioSpeed: TRadioGroup
      Left = 8
      Top = 18
      Width = 200
      Height = 92
      Caption = 'Скорость'
      Columns = 2
      ItemIndex = 2
      Items.Strings = (
        '9600'
        '38400'
        '115200'
        '460800')
    end
    object StaticInfo: TStaticText
      Left = 8
      Top = 116
      Width = 200
      Height = 18
      AutoSize = False
      BorderStyle = sbsSunken
      Caption = 'Справка: '#1089#1090#1072#1090#1080#1095#1077#1089#1082#1080#1081' текст'
    end
    object Image1: TImage
      Left = 8
      Top = 142
      Width = 200
      Height = 140
      Hint = 'Дорога'
      Picture.Resource = 'demo_picture.jpg'
      Stretch = True
    end
    object Bevel1: TBevel
      Left = 8
      Top = 288
      Width = 200
      Height = 4
      Shape = bsTopLine
    end
  end
  object PanelActions: TPanel
    Left = 8
    Top = 346
    Width = 624
    Height = 96
    BevelOuter = bvLowered
    TabOrder = 2
    object LabelResult: TLabel
      Left = 8
      Top = 8
      Width = 600
      Height = 16
      Caption = 'Результат'
      Font.Charset = RUSSIAN_CHARSET
      Font.Color = clMaroon
      Font.Height = -13
      Font.Name = 'DejaVu Sans'
      Font.Style = [fsBold, fsItalic]
      ParentFont = False
    end
    object ProgressBar1: TProgressBar
      Left = 8
      Top = 32
      Width = 608
      Height = 16
      Max = 100
      Step = 10
    end
    object ButtonShow: TButton
      Left = 8
      Top = 58
      Width = 110
      Height = 28
      Caption = 'Сообщение'
      OnClick = ButtonShowClick
    end
    object ButtonAsk: TButton
      Left = 126
      Top = 58
      Width = 110
      Height = 28
      Caption = 'Вопрос'
      OnClick = ButtonAskClick
    end
    object ButtonNumber: TButton
      Left = 244
      Top = 58
      Width = 110
      Height = 28
      Caption = 'Число'
      OnClick = ButtonNumberClick
    end
    object ButtonChain: TButton
      Left = 362
      Top = 58
      Width = 110
      Height = 28
      Caption = 'Цепочка'
      OnClick = ButtonChainClick
    end
    object ButtonHidden: TButton
      Left = 480
      Top = 58
      Width = 110
      Height = 28
      Caption = 'Скрытая'
      Visible = False
    end
  end
  object StatusBar1: TStatusBar
    Left = 0
    Top = 450
    Width = 640
    Height = 20
    Panels = <
      item
        Text = 'Готово'
        Width = 300
      end
      item
        Width = 50
      end>
  end
  object MainMenu1: TMainMenu
    Left = 580
    Top = 4
    object MenuFile: TMenuItem
      Caption = '&Файл'
      object MenuOpen: TMenuItem
        Caption = 'Открыть...'
        ShortCut = 16463
        OnClick = MenuOpenClick
      end
      object MenuSeparator: TMenuItem
        Caption = '-'
      end
      object MenuExit: TMenuItem
        Caption = 'Выход'
        OnClick = MenuExitClick
      end
    end
    object MenuDebug: TMenuItem
      Caption = 'Отладка'
      Visible = False
    end
  end
  object PopupMenu1: TPopupMenu
    Left = 548
    Top = 4
    object PopupClear: TMenuItem
      Caption = 'Очистить'
      OnClick = PopupClearClick
    end
  end
  object Timer1: TTimer
    Enabled = False
    Interval = 500
    OnTimer = Timer1Timer
    Left = 516
    Top = 4
  end
  object OpenDialog1: TOpenDialog
    DefaultExt = '*.txt'
    Filter = 
      'Текстовые файлы (*.txt)|*.txt|' +
      'Все файлы|*.*'
    Left = 484
    Top = 4
  end
end
