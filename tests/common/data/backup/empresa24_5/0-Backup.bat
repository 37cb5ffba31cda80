EXPDP parfile=Parametros
COPY /y "C:\app\Veltrana\product\21c\admin\XE\dpdump\X.DMP" "E:\\Quinta\5-EMPRESA24.DMP"
