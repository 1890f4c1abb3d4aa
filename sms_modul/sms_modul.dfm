object FormMsg: TFormMsg
  Left = 0
  Top = 0
  ClientWidth = 609
  ClientHeight = 385
  Caption = 'FormMsg'
  Font.Charset = RUSSIAN_CHARSET
  Font.Color = clWindowText
  Font.Height = -12
  Font.Name = 'Tahoma'
  Font.Style = []
  Menu = MainMenu1
  Position = poDesktopCenter
  Visible = False
  OnCreate = FormCreate
  object ToolBar1: TToolBar
    Left = 0
    Top = 0
    Width = 609
    Height = 30
    Align = alTop
    object SpeedButton1: TSpeedButton
      Left = 4
      Top = 2
      Width = 80
      Height = 26
      Caption = 'Соединить'
    end
    object SpeedButton2: TSpeedButton
      Left = 88
      Top = 2
      Width = 86
      Height = 26
      Caption = 'Разъединить'
      Enabled = False
    end
    object SpeedButton3: TSpeedButton
      Left = 178
      Top = 2
      Width = 76
      Height = 26
      Caption = 'Обновить'
      Enabled = False
    end
    object ComboBox1: TComboBox
      Left = 260
      Top = 4
      Width = 90
      Height = 22
      Style = csDropDownList
      Sorted = True
    end
    object SpeedButton4: TSpeedButton
      Left = 356
      Top = 2
      Width = 70
      Height = 26
      Caption = 'Скрыть'
    end
  end
  object Panel3: TPanel
    Left = 0
    Top = 30
    Width = 609
    Height = 24
    BevelOuter = bvLowered
    object Label1: TLabel
      Left = 6
      Top = 5
      Width = 60
      Height = 14
      Caption = 'Label1'
    end
    object Label2: TLabel
      Left = 80
      Top = 5
      Width = 60
      Height = 14
      Caption = 'Label2'
    end
    object Label3: TLabel
      Left = 154
      Top = 5
      Width = 60
      Height = 14
      Caption = 'Label3'
    end
    object Label4: TLabel
      Left = 228
      Top = 5
      Width = 60
      Height = 14
      Caption = 'Label4'
    end
    object Label5: TLabel
      Left = 302
      Top = 5
      Width = 60
      Height = 14
      Caption = 'Label5'
    end
    object Label6: TLabel
      Left = 376
      Top = 5
      Width = 60
      Height = 14
      Caption = 'Label6'
    end
    object Label9: TLabel
      Left = 450
      Top = 5
      Width = 70
      Height = 14
      Caption = 'Label9'
    end
    object Label18: TLabel
      Left = 530
      Top = 5
      Width = 70
      Height = 14
      Caption = 'Label18'
    end
  end
  object GroupBox1: TGroupBox
    Left = 4
    Top = 58
    Width = 400
    Height = 150
    Caption = 'Номер АБОНЕНТА'
    object Label13: TLabel
      Left = 8
      Top = 18
      Width = 60
      Height = 14
      Caption = 'Абонент'
    end
    object Label14: TLabel
      Left = 196
      Top = 18
      Width = 60
      Height = 14
      Caption = 'Номер'
    end
    object cb_name_user: TComboBox
      Left = 8
      Top = 34
      Width = 180
      Height = 22
      CharCase = ecUpperCase
    end
    object CBNamber: TComboBox
      Left = 196
      Top = 34
      Width = 192
      Height = 22
    end
    object Label15: TLabel
      Left = 8
      Top = 64
      Width = 80
      Height = 14
      Caption = 'Сообщение'
    end
    object cb_sms: TComboBox
      Left = 8
      Top = 80
      Width = 380
      Height = 22
      Text = 'Vomar sms *'
      Items.Strings = (
        'Vomar sms *'
        'Vomar addrip *'
        'Vomar sendip *'
        'Vomar ipset 203.0.113.10*'
        'Vomar rstmodem *'
        'Vomar clrmem *'
        'Vomar apn ? *'
        'Vomar apn 0 *'
        '')
    end
    object SpeedButton5: TSpeedButton
      Left = 8
      Top = 114
      Width = 100
      Height = 26
      Caption = 'Вызов'
      Enabled = False
    end
    object SpeedButton6: TSpeedButton
      Left = 116
      Top = 114
      Width = 100
      Height = 26
      Caption = 'Старт SMS'
      Enabled = False
    end
    object SpeedButton7: TSpeedButton
      Left = 224
      Top = 114
      Width = 100
      Height = 26
      Caption = 'Завершить'
      Enabled = False
    end
  end
  object Panel2: TPanel
    Left = 410
    Top = 58
    Width = 195
    Height = 150
    BevelOuter = bvLowered
    object Image1: TImage
      Left = 8
      Top = 8
      Width = 32
      Height = 32
    end
    object Label7: TLabel
      Left = 48
      Top = 8
      Width = 100
      Height = 14
      Caption = 'MODEM'
    end
    object Label10: TLabel
      Left = 48
      Top = 28
      Width = 100
      Height = 14
      Caption = 'Поиск  Сети'
    end
    object Label12: TLabel
      Left = 48
      Top = 48
      Width = 100
      Height = 14
      Caption = 'Антенна'
    end
    object Label11: TLabel
      Left = 48
      Top = 68
      Width = 100
      Height = 14
      Caption = 'Label11'
    end
    object Label21: TLabel
      Left = 8
      Top = 92
      Width = 100
      Height = 14
      Caption = 'Label21'
    end
    object Label22: TLabel
      Left = 8
      Top = 110
      Width = 100
      Height = 14
      Caption = 'Label22'
    end
    object Label19: TLabel
      Left = 8
      Top = 128
      Width = 100
      Height = 14
      Caption = 'Label19'
    end
    object Pbar1: TProgressBar
      Left = 170
      Top = 8
      Width = 16
      Height = 134
      Min = 0
      Max = 100
      Orientation = pbVertical
    end
  end
  object FulSms: TEdit
    Left = 4
    Top = 214
    Width = 400
    Height = 22
  end
  object prog_dial: TProgressBar
    Left = 4
    Top = 242
    Width = 400
    Height = 16
  end
  object phone_box: TGroupBox
    Left = 4
    Top = 212
    Width = 400
    Height = 120
    Caption = 'Редактор Телефонной Книжки'
    Visible = False
    object name_phone: TComboBox
      Left = 8
      Top = 20
      Width = 380
      Height = 22
      Sorted = True
    end
    object EditName: TEdit
      Left = 8
      Top = 50
      Width = 180
      Height = 22
      MaxLength = 11
    end
    object EditPhone: TEdit
      Left = 196
      Top = 50
      Width = 192
      Height = 22
      MaxLength = 11
    end
    object Button1: TButton
      Left = 8
      Top = 84
      Width = 72
      Height = 25
      Caption = 'Добавить'
    end
    object Button2: TButton
      Left = 84
      Top = 84
      Width = 72
      Height = 25
      Caption = 'Удалить'
    end
    object Button3: TButton
      Left = 160
      Top = 84
      Width = 72
      Height = 25
      Caption = 'Изменить'
    end
    object Button4: TButton
      Left = 236
      Top = 84
      Width = 72
      Height = 25
      Caption = 'Сохранить'
    end
    object Button5: TButton
      Left = 312
      Top = 84
      Width = 76
      Height = 25
      Caption = 'Закрыть'
    end
  end
  object Panel1: TPanel
    Left = 410
    Top = 212
    Width = 195
    Height = 160
    Visible = False
    PopupMenu = PopupMenu2
    object Memo1: TMemo
      Left = 4
      Top = 4
      Width = 187
      Height = 70
      ScrollBars = ssVertical
    end
    object cb_at_cmd_: TComboBox
      Left = 4
      Top = 78
      Width = 187
      Height = 22
      Text = 'ATE0'
      Items.Strings = (
        'ATE0'
        'ATE1'
        'ATD "+79990000001";'
        'AT+CLIP=0'
        'AT+CLIP=1'
        'AT+CSQ'
        'AT+CBC'
        'AT+CSCA?'
        'AT+CMGF?'
        'AT+COPS?'
        'AT+CMGD=1'
        'AT+CMGR=1'
        'AT+CPAS'
        'AT+CGMM'
        'ATD *99***1#')
    end
    object Edit1: TEdit
      Left = 4
      Top = 104
      Width = 187
      Height = 22
      Text = 'AT+CMGD=1'
    end
    object Button6: TButton
      Left = 4
      Top = 130
      Width = 42
      Height = 25
      Caption = 'Send'
    end
    object Button7: TButton
      Left = 48
      Top = 130
      Width = 46
      Height = 25
      Caption = 'Clr Memo'
    end
    object Button8: TButton
      Left = 96
      Top = 130
      Width = 54
      Height = 25
      Caption = 'Dlete All Sms'
    end
    object Button9: TButton
      Left = 152
      Top = 130
      Width = 39
      Height = 25
      Caption = 'Close'
    end
  end
  object str_grid: TStringGrid
    Left = 4
    Top = 262
    Width = 601
    Height = 110
    ColCount = 8
    Visible = False
    PopupMenu = PopupMenu1
    ColWidths = (
      35
      58
      104
      104
      134
      103
      110
      97)
  end
  object MainMenu1: TMainMenu
    Left = 560
    Top = 4
    object N1: TMenuItem
      Caption = 'Модем'
      object restart_comm_port: TMenuItem
        Caption = 'Обновить Соединения'
        OnClick = restart_comm_portClick
      end
      object N2: TMenuItem
        Caption = 'Виртуальное соединение'
      end
      object N3: TMenuItem
        Caption = 'Отладка'
      end
    end
    object N4: TMenuItem
      Caption = 'Телефонный Справочник'
      object load_box: TMenuItem
        Caption = 'Загрузить'
        OnClick = load_boxClick
      end
      object edit_ph_box: TMenuItem
        Caption = 'Редактировать'
        OnClick = edit_ph_boxClick
      end
    end
    object N5: TMenuItem
      Caption = 'IP Сервера'
    end
    object N6: TMenuItem
      Caption = 'Сообщения'
      object N7: TMenuItem
        Caption = 'Принятые'
      end
    end
  end
  object PopupMenu1: TPopupMenu
    Left = 520
    Top = 4
    object N8: TMenuItem
      Caption = 'Скрыть '
    end
    object N9: TMenuItem
      Caption = 'Восстановить'
    end
    object N10: TMenuItem
      Caption = 'Удалить '
    end
    object N11: TMenuItem
      Caption = 'Удалить Все '
    end
    object N12: TMenuItem
      Caption = 'Сохранить Все'
    end
    object N13: TMenuItem
      Caption = 'Сохранить Как'
    end
    object N14: TMenuItem
      Caption = 'Считать новый'
    end
  end
  object PopupMenu2: TPopupMenu
    Left = 480
    Top = 4
    object N15: TMenuItem
      Caption = 'Закрыть'
    end
    object N16: TMenuItem
      Caption = 'Развернуть'
    end
  end
  object OpenDialog1: TOpenDialog
    Left = 440
    Top = 4
  end
  object SaveDialog1: TSaveDialog
    Left = 400
    Top = 4
  end
  object Timer1: TTimer
    Enabled = False
    Left = 360
    Top = 4
  end
end
