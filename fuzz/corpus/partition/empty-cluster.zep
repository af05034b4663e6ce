*parti
*v
1
1
2
3
